// The start-up picture: a borderless 350x180 window showing "Default.png".
#pragma once

#include <QSplashScreen>

#include <memory>

class CodeForSplashScreen {
public:
    // Shows the splash centred and in front, then holds the main thread for the
    // given time (nothing the user does is handled meanwhile). The splash stays
    // up until its owner closes it.
    std::unique_ptr<QSplashScreen> doSplash(int seconds = 3);
};
