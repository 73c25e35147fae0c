#pragma once
// The look of every widget: a theme (or the one that follows the system appearance) and a
// surface style, chosen on a draft that only this screen sees and previewed live on three real
// widgets. "APPLY TO ALL WIDGETS" stores the draft and asks the host to redraw every widget.
#include "shared/look/ThemeSettings.h"

#include <QAbstractButton>
#include <QWidget>
#include <vector>

class QButtonGroup;
class QLabel;
class QPushButton;

namespace velk {
class ThemeStore;
}

namespace velk::app {

class WidgetCard;

struct ThemeChoice {
    QString id;
    QString label;
};

// The themes the screen offers, in order; "macos" follows the system appearance.
const std::vector<ThemeChoice>& themePickerOrder();

// The segment label and explanation of each surface style.
QString surfaceLabel(ThemeSettings::SurfaceStyle style);
QString surfaceExplanation(ThemeSettings::SurfaceStyle style);

class ThemeRow : public QAbstractButton {
    Q_OBJECT
public:
    ThemeRow(ThemeChoice choice, QWidget* parent = nullptr);
    const ThemeChoice& choice() const { return choice_; }
    bool isSelectedRow() const { return selected_; }
    void setSelectedRow(bool selected);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ThemeChoice choice_;
    bool selected_ = false;
};

class ThemeView : public QWidget {
    Q_OBJECT
public:
    explicit ThemeView(ThemeStore* store, QWidget* parent = nullptr);

    const ThemeSettings& draft() const { return draft_; }
    void setDraftTheme(const QString& id);
    void setDraftSurface(ThemeSettings::SurfaceStyle surface);
    bool isApplied() const { return applied_; }
    QString applyLabel() const;
    void apply();

    std::vector<ThemeRow*> rows() const { return rows_; }
    std::vector<WidgetCard*> previews() const { return previews_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    ThemeStore* store_;
    ThemeSettings draft_;
    bool applied_ = false;
    std::vector<ThemeRow*> rows_;
    std::vector<WidgetCard*> previews_;
    QButtonGroup* surfaces_;
    QLabel* explanation_;
    QWidget* previewColumn_;
    QLabel* previewHeading_;
    QPushButton* applyButton_;
};

} // namespace velk::app
