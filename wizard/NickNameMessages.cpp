#include "NickNameMessages.h"

const char* NickNameMessageKey(int result)
{
    switch (result) {
    case 1:
        return "COMMON_NICKNAME_INPUT_ERR_MESSAGE_2";
    case 3:
        return "COMMON_NICKNAME_INPUT_ERR_MESSAGE_4";
    case 4:
    case 5:
    case 7:
        return "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3";
    case 6:
        return "COMMON_NICKNAME_INPUT_ERR_MESSAGE_1";
    default:
        return nullptr;
    }
}
