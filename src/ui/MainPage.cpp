#include "ui/MainPage.h"

void InitMainPage(AppContext& app, NativeHandle page) { app.mainPage = page; }
