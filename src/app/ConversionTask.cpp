#include "app/ConversionTask.h"

#include "engine/Destination.h"
#include "engine/ExportSession.h"

#include <QTimer>

ConversionTask::ConversionTask(ExportSession& session, QObject* parent)
    : QObject(parent), session_(session), frames_(new QTimer(this)) {
    // About one screen frame: the bar and labels are never more than that behind.
    frames_->setInterval(16);
    connect(frames_, &QTimer::timeout, this, [this] {
        if (const std::int64_t now = session_.progress(); now != shown_) {
            shown_ = now;
            emit progressed(now);
        }
    });
}

ConversionTask::~ConversionTask() {
    stopAndWait();
}

bool ConversionTask::start(const std::string& destination) {
    // Emitted on the conversion thread; queued to the thread this object lives in.
    return started(session_.start(destination, [this] { emit finished(); }));
}

bool ConversionTask::start(std::shared_ptr<Destination> destination) {
    return started(session_.start(std::move(destination), [this] { emit finished(); }));
}

bool ConversionTask::started(bool ok) {
    if (ok) {
        shown_ = 0;
        frames_->start();
    }
    return ok;
}

void ConversionTask::stopProgress() {
    frames_->stop();
}

void ConversionTask::stopAndWait() {
    session_.cancel();
    session_.wait();
}
