#include "app/SettingsBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

SettingsBinding::SettingsBinding(QObject* parent) : QObject(parent) {}

void SettingsBinding::bind(QCheckBox* box, settings::Key key, Keep keep) {
    bound_[key] = box;
    restore(key);
    if (keep == Keep::OnChange) {
        connect(box, &QCheckBox::toggled, this, [this, key] { this->keep(key); });
    }
}

void SettingsBinding::bind(QComboBox* list, settings::Key key, Keep keep) {
    bound_[key] = list;
    restore(key);
    if (keep == Keep::OnChange) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, key] { this->keep(key); });
    }
}

void SettingsBinding::bind(QLineEdit* field, settings::Key key) {
    bound_[key] = field;
    restore(key);
}

void SettingsBinding::keep(settings::Key key) {
    QObject* control = bound_.at(key);
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        settings::setValue(key, box->isChecked());
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        settings::setValue(key, list->currentData());
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
        settings::setValue(key, field->text().trimmed());
    }
}

void SettingsBinding::restore(settings::Key key) {
    QObject* control = bound_.at(key);
    const QSignalBlocker quiet(control);
    const QVariant kept = settings::value(key);
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        box->setChecked(kept.toBool());
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        list->setCurrentIndex(std::max(0, list->findData(kept)));
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
        field->setText(kept.toString());
    }
}
