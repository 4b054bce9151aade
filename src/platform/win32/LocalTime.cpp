#include "platform/LocalTime.h"

#include <windows.h>

LocalTime ReadLocalTime()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}
