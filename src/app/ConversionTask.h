// The window's handle on a running export: starts the session's conversion
// thread, tells the window how far it got at the screen's pace, and announces
// its end on the window's own thread with one queued signal, so the window
// never waits for the thread and never touches widgets from it.
#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

class Destination;
class ExportSession;
class QTimer;

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
    // No more progress() signals until the next start.
    void stopProgress();

signals:
    // The conversion thread has ended; delivered on this object's thread.
    void finished();
    // The run has processed more contacts; at most once a screen frame.
    void progressed(std::int64_t processed);

private:
    // Starts the progress signals once a run has started.
    bool started(bool ok);

    ExportSession& session_;
    QTimer* frames_;
    // The count progressed() gave last.
    std::int64_t shown_ = 0;
};
