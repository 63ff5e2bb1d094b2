#include "app/CodeForSplashScreen.h"

#include "app/Resources.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

SplashHold holdWhilePainting() {
    return [](std::chrono::milliseconds time) {
        // Paint the splash while the time runs out, but take no user input.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < time.count()) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(20);
        }
    };
}

std::unique_ptr<QSplashScreen> CodeForSplashScreen::doSplash(int seconds, const SplashHold& hold) {
    loadResources();
    const QSize size(350, 180);
    QPixmap picture(QStringLiteral(":/Default.png"));
    if (picture.isNull()) {
        picture = QPixmap(size);
        picture.fill(Qt::white);
    }
    auto splash = std::make_unique<QSplashScreen>(
        picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
        Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash->setObjectName(QStringLiteral("splash"));
    splash->setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        splash->move(screen->availableGeometry().center() - splash->rect().center());
    }
    splash->show();
    splash->raise();
    splash->activateWindow();

    hold(std::chrono::seconds(seconds));
    return splash;
}
