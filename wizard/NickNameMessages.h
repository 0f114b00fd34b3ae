#pragma once
// The warning that a nickname check's result calls for, shared by every place a customer
// names a serial.

// The definition key of the warning for a ValidateContextNickName result; null when the
// nickname passes (2, too long, cannot arise under the field's byte limit).
const char* NickNameMessageKey(int result);
