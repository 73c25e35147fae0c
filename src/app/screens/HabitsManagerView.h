#pragma once
// The sheet where habits are made, checked in for today and deleted. Every change is stored at
// once under "velk.habits.v1" and the Habits widget is reloaded. The desktop widget changes the
// same list (its check-in button), so Add and Delete start from the list as stored right now,
// not from what the sheet showed when it opened: a check-in made meanwhile is kept.
#include "app/screens/ManagerSheet.h"
#include "shared/models/ActivityRecords.h"

#include <vector>

class QLineEdit;
class QPushButton;

namespace velk::app {

class HabitsManagerView : public ManagerSheet {
    Q_OBJECT
public:
    explicit HabitsManagerView(QWidget* parent = nullptr);

    const std::vector<HabitItem>& habits() const { return habits_; }
    QLineEdit* nameField() const { return field_; }
    QPushButton* addButton() const { return add_; }

    // The stored list, or the sample habits when nothing decodable is stored.
    static std::vector<HabitItem> storedHabits();

    void add();
    void checkIn(const QUuid& id);
    void remove(const QUuid& id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void store(const std::vector<HabitItem>& habits);
    void display(std::vector<HabitItem> habits);
    void rebuildRows();

    std::vector<HabitItem> habits_;
    QLineEdit* field_;
    QPushButton* add_;
};

// Blanks (spaces and tabs, not line breaks) taken off both ends.
QString trimmedBlanks(const QString& text);

} // namespace velk::app
