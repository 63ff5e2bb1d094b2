#include "app/ConversionTask.h"

#include "engine/Destination.h"
#include "engine/ExportSession.h"

ConversionTask::ConversionTask(ExportSession& session, QObject* parent)
    : QObject(parent), session_(session) {}

ConversionTask::~ConversionTask() {
    stopAndWait();
}

bool ConversionTask::start(const std::string& destination) {
    // Emitted on the conversion thread; queued to the thread this object lives in.
    return session_.start(destination, [this] { emit finished(); });
}

bool ConversionTask::start(std::shared_ptr<Destination> destination) {
    return session_.start(std::move(destination), [this] { emit finished(); });
}

void ConversionTask::stopAndWait() {
    session_.cancel();
    session_.wait();
}
