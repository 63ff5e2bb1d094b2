// Ties the window's choices to their remembered values: each bound control
// shows what was kept under its key when it is bound, and a choice the user
// makes is kept at once, or when the window says it was used (a reading that
// worked, a server that was asked).
#pragma once

#include "app/Settings.h"

#include <QObject>

#include <map>

class QCheckBox;
class QComboBox;
class QLineEdit;

class SettingsBinding : public QObject {
    Q_OBJECT

public:
    // When a bound control's choice is kept.
    enum class Keep { OnChange, WhenUsed };

    explicit SettingsBinding(QObject* parent = nullptr);

    // The box shows the kept choice.
    void bind(QCheckBox* box, settings::Key key, Keep keep = Keep::OnChange);
    // The list shows the item whose data is the kept word, else its first item.
    void bind(QComboBox* list, settings::Key key, Keep keep = Keep::OnChange);
    // The field shows the kept text.
    void bind(QLineEdit* field, settings::Key key);
    // Keeps what the control bound to the key shows now.
    void keep(settings::Key key);
    // Shows the kept choice again in the control bound to the key, without a
    // change signal: the choice the user made did not work.
    void restore(settings::Key key);

private:
    std::map<settings::Key, QObject*> bound_;
};
