#pragma once
// Form1 on Qt: the scan console's widgets, named as the rest of the program names them (List3,
// txtInfo, Label8, ...) and created from Form1's layout. What the window does is Form1Logic's;
// this shell forwards the widgets' events to it and reads and writes their contents.

#include <array>

#include <QWidget>

#include "controls/button/qt/luxbutton_widget.h"
#include "controls/progressbar/qt/xp_progressbar_widget.h"
#include "ui/main/form1_logic.h"
#include "ui/main/form_data.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QTimer;

namespace velquin::ui {
class Form8;
}

namespace velquin::ui {

using MainButton = button::qt::LuxButtonWidget;
using MainProgressBar = progressbar::XP_ProgressBarWidget;

class Form1 : public QWidget, private Form1Shell {
    Q_OBJECT
public:
    explicit Form1(Form1Options options, QWidget* parent = nullptr);
    ~Form1() override;

    // Timer ticks, callable directly so their effect can be checked tick by tick.
    void Timer1Tick() { logic_.Timer1Tick(); }
    void Timer3Tick() { logic_.Timer3Tick(); }
    void Timer9Tick() { logic_.Timer9Tick(); }

    Form8* Form8Window() const { return form8_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void FindControls();
    QWidget* Container(const ControlSpec& entry) const;
    QLineEdit* TextBox(TextControl control) const;
    QLabel* Label(TextControl control) const;
    MainButton* Button(ButtonControl button) const;
    QListWidget* List(ListControl list) const;
    MainProgressBar* Bar(BarControl bar) const;
    QTimer* Timer(TimerControl timer) const;

    // Form1Shell
    std::string Text(TextControl control) const override;
    void SetText(TextControl control, std::string_view text) override;
    std::string ButtonCaption(ButtonControl button) const override;
    void SetButtonCaption(ButtonControl button, std::string_view caption) override;
    void SetButtonEnabled(ButtonControl button, bool enabled) override;
    void ClearList(ListControl list) override;
    void AppendToList(ListControl list, std::string_view line) override;
    void ShowListTop(ListControl list) override;
    int ListCount(ListControl list) const override;
    int BarValue(BarControl bar) const override;
    int BarMax(BarControl bar) const override;
    void SetBarValue(BarControl bar, int value) override;
    void SetTimerEnabled(TimerControl timer, bool enabled) override;
    void ShowMessage(std::string_view text, bool systemModal) override;
    std::optional<MenuItem> PopUpTargetMenu() override;
    std::string BrowseFolder(std::string_view title) override;
    std::string RemovableDriveCaption() const override;
    void ProcessPendingEvents() override;
    void EndProgram() override;

    // The named controls, looked up once: the walk writes some of them for every entry, and a
    // lookup by name searches every widget of the form.
    static constexpr std::size_t kTexts = std::size_t(TextControl::Label7) + 1;
    std::array<QLineEdit*, kTexts> textBoxes_{};
    std::array<QLabel*, kTexts> labels_{};
    std::array<MainButton*, std::size_t(ButtonControl::Browser) + 1> buttons_{};
    std::array<QListWidget*, std::size_t(ListControl::List2) + 1> lists_{};
    std::array<MainProgressBar*, std::size_t(BarControl::o) + 1> bars_{};
    std::array<QTimer*, std::size_t(TimerControl::Timer9) + 1> timers_{};

    Form1Logic logic_;
    QMenu* mnu = nullptr;
    Form8* form8_ = nullptr;
};

}  // namespace velquin::ui
