// The window's handle on a running export: starts the session's conversion
// thread and announces its end on the window's own thread with one queued
// signal, so the window never waits for the thread and never touches widgets
// from it.
#pragma once

#include <QObject>

#include <memory>
#include <string>

class Destination;
class ExportSession;

class ConversionTask : public QObject {
    Q_OBJECT

public:
    ConversionTask(ExportSession& session, QObject* parent = nullptr);
    // Stops a run that still goes on and waits for its thread.
    ~ConversionTask() override;

    // Starts the conversion into `destination`; false when it cannot start.
    bool start(const std::string& destination);
    // Starts the conversion into another destination, such as an address book.
    bool start(std::shared_ptr<Destination> destination);
    // Stops the run after the contact in hand and waits for its thread.
    void stopAndWait();

signals:
    // The conversion thread has ended; delivered on this object's thread.
    void finished();

private:
    ExportSession& session_;
};
