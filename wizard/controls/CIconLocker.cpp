#include "CIconLocker.h"

CIconLocker::~CIconLocker()
{
    if (m_hWnd)
        UnsubclassWindow();
}
