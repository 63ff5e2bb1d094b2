// The start-up picture: a borderless 350x180 window showing "Default.png".
#pragma once

#include <QSplashScreen>

#include <chrono>
#include <functional>
#include <memory>

// How the main thread is held while the splash shows; tests pass one that
// notes the time instead of waiting it out.
using SplashHold = std::function<void(std::chrono::milliseconds)>;

// Holds the main thread for the given time, painting but taking no user input.
SplashHold holdWhilePainting();

class CodeForSplashScreen {
public:
    // Shows the splash centred and in front, then holds the main thread for the
    // given time. The splash stays up until its owner closes it.
    std::unique_ptr<QSplashScreen> doSplash(int seconds, const SplashHold& hold);
};
