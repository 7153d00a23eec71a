// SPDX-License-Identifier: MIT
#include "ui/control_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOption>
#include <algorithm>
#include <array>
#include <utility>

#include "render/frame.h"
#include "ui/focus_ring.h"
#include "ui/main_window.h"
#include "ui/movement_combo_box.h"
#include "ui/spoken_change.h"
#include "ui/window_setup.h"

namespace trilume {

TForm2* Form2 = nullptr;

namespace {

constexpr int kLabelHeight = 13;
constexpr int kCheckBoxSize = 17;
constexpr int kLabel5Width = 12;
constexpr int kLabel2Width = 6;

QLabel* MakeLabel(QWidget* parent, const QByteArray& text, int left, int top, int width) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  FillBackground(*label, QColor(0, 0, 255));
  label->setGeometry(left, top, width, kLabelHeight);
  return label;
}

// The value labels grow with their text ("3000" is wider than "20"), the
// way an auto-sized label does; they never shrink below their design width.
void ShowValue(QLabel* label, int value, int designWidth) {
  label->setText(QString::number(value));
  const int textWidth = QFontMetrics(label->font()).horizontalAdvance(label->text());
  label->resize(std::max(designWidth, textWidth), label->height());
}

// CheckBox`number` as the panel opens.
QCheckBox* MakeCheckBox(QWidget* parent, int number, int left, int top) {
  auto* box = new QCheckBox(parent);
  box->setGeometry(left, top, kCheckBoxSize, kCheckBoxSize);
  box->setChecked(kDefaultChecked[static_cast<std::size_t>(number)]);
  box->setFocusPolicy(Qt::StrongFocus);
  return box;
}

// QScrollBar turns its keys round for the sake of vertical bars, where Down
// goes towards the end; on a horizontal bar that makes Right lower the
// value. Here Right and Up raise it, Left and Down lower it, PageUp and
// PageDown go a page up or down; Home and End are left to the bar. The
// wheel keeps the bar's own direction: turned away from the user it moves
// the thumb left, as on any horizontal scroll bar.
class ValueKeys final : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* bar = qobject_cast<QAbstractSlider*>(watched);
    if (bar == nullptr || event->type() != QEvent::KeyPress) {
      return QObject::eventFilter(watched, event);
    }
    const QAbstractSlider::SliderAction action = ActionFor(static_cast<QKeyEvent*>(event)->key());
    if (action == QAbstractSlider::SliderNoAction) {
      return QObject::eventFilter(watched, event);
    }
    bar->triggerAction(action);
    return true;
  }

 private:
  static QAbstractSlider::SliderAction ActionFor(int key) {
    switch (key) {
      case Qt::Key_Right:
      case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepAdd;
      case Qt::Key_Left:
      case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepSub;
      case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepAdd;
      case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepSub;
      default:
        return QAbstractSlider::SliderNoAction;
    }
  }
};

QScrollBar* MakeScrollBar(QWidget* parent, int left, int top, int minimum, int maximum,
                          int position, int pageStep) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setGeometry(left, top, 57, 17);
  bar->setRange(minimum, maximum);
  bar->setValue(position);
  bar->setSingleStep(1);
  bar->setPageStep(pageStep);
  bar->setFocusPolicy(Qt::StrongFocus);
  bar->installEventFilter(new ValueKeys(bar));
  return bar;
}

// The design's scroll bars are only 57 pixels long: with the usual minimum
// thumb length the thumb would fill the groove and never show its place.
class SmallThumbStyle final : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override {
    if (metric == PM_ScrollBarSliderMin) {
      return 6;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// Return and Enter press the focused button, as Space does and as users of
// desktop dialogs expect. A push button takes Return only as a dialog's
// default button, and the panel is no dialog.
class ReturnPresses final : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button != nullptr && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
          (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!key->isAutoRepeat()) button->click();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

QPushButton* MakeButton(QWidget* parent, const char* text, int left, int top, int width) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setGeometry(left, top, width, 17);
  button->setFocusPolicy(Qt::StrongFocus);
  button->setAutoDefault(false);
  button->installEventFilter(new ReturnPresses(button));
  return button;
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
  Form2 = this;
  SetUpWindow(*this, QStringLiteral("TRILUME CONTROL PANEL"), {kPanelLeft, kPanelTop},
              QColor(0, 0, 0));
  QFont panelFont(QStringLiteral("Liberation Sans"));
  panelFont.setPixelSize(kFontPixelSize);
  setFont(panelFont);

  Label6 = MakeLabel(this, "TRACE ON", 8, 8, 55);
  CheckBox2 = MakeCheckBox(this, 2, 64, 8);
  Label12 = MakeLabel(this, "RAINBOW", 8, 32, 52);
  CheckBox6 = MakeCheckBox(this, 6, 64, 32);
  Label7 = MakeLabel(this, "COLOUR", 8, 56, 45);
  CColorGrid1 = new TCColorGrid(this);
  CColorGrid1->setGeometry(8, 80, 104, 88);

  Label4 = MakeLabel(this, "NUMBER OF TRACES", 80, 8, 110);
  ScrollBar1 =
      MakeScrollBar(this, 208, 8, 1, kMaxTraceCount, kDefaultTraceCount, kTraceCountPageStep);
  Label5 = MakeLabel(this, QByteArray::number(kDefaultTraceCount), 272, 8, kLabel5Width);
  Label1 = MakeLabel(this, "ALTERNATIVE COLORS", 80, 32, 121);
  ScrollBar2 = MakeScrollBar(this, 208, 32, 1, kMaxAlternativeColours, kDefaultAlternativeColours,
                             kAlternativeColoursPageStep);
  Label2 = MakeLabel(this, QByteArray::number(kDefaultAlternativeColours), 272, 32, kLabel2Width);

  // The SHOW switches: a row every 16 pixels from y 64, each a label at
  // x 120 and its check box at x 272.
  using LabelField = QLabel* TForm2::*;
  using BoxField = QCheckBox* TForm2::*;
  struct ShowSwitch {
    LabelField Label;
    const char* Text;
    int LabelWidth;
    BoxField Box;
    int Number;
  };
  static constexpr std::array<ShowSwitch, 7> kShowSwitches = {{
      {&TForm2::Label10, "SHOW YELLOW TRIANGLE", 139, &TForm2::CheckBox4, 4},
      {&TForm2::Label15, "SHOW NUMBERS SQUARE", 139, &TForm2::CheckBox9, 9},
      {&TForm2::Label3, "SHOW ADDITIONALS", 109, &TForm2::CheckBox1, 1},
      {&TForm2::Label9, "SHOW CLOCK NUMBERS", 129, &TForm2::CheckBox3, 3},
      {&TForm2::Label11, "SHOW LINE LENGTHS", 115, &TForm2::CheckBox5, 5},
      {&TForm2::Label13, "SHOW HANDS", 75, &TForm2::CheckBox7, 7},
      {&TForm2::Label14, "SHOW LINK LINES", 95, &TForm2::CheckBox8, 8},
  }};
  int switchTop = 64;
  for (const ShowSwitch& row : kShowSwitches) {
    this->*row.Label = MakeLabel(this, row.Text, 120, switchTop, row.LabelWidth);
    this->*row.Box = MakeCheckBox(this, row.Number, 272, switchTop);
    switchTop += 16;
  }
  Label8 = MakeLabel(this, "MOVEMENT", 120, 176, 62);

  ComboBox1 = new MovementComboBox(this);
  for (const MovementMode& mode : kMovementModes) {
    ComboBox1->addItem(
        QString::fromLatin1(mode.Name.data(), static_cast<qsizetype>(mode.Name.size())));
  }
  ComboBox1->setCurrentIndex(0);
  ComboBox1->setGeometry(120, 192, 97, 21);
  ComboBox1->setFocusPolicy(Qt::StrongFocus);

  Button1 = MakeButton(this, "FREE The Triangle", 8, 192, 105);
  Button2 = MakeButton(this, "CLEAR", 224, 192, 65);

  // Made after the scroll bars, so it is deleted after them.
  auto* thumbStyle = new SmallThumbStyle;
  thumbStyle->setParent(this);
  ScrollBar1->setStyle(thumbStyle);
  ScrollBar2->setStyle(thumbStyle);

  const std::array<QWidget*, 15> focusOrder = {
      ScrollBar1, ScrollBar2, CColorGrid1, CheckBox2, ComboBox1, CheckBox5, CheckBox6, Button1,
      Button2,    CheckBox4,  CheckBox1,   CheckBox3, CheckBox7, CheckBox8, CheckBox9};
  for (std::size_t i = 1; i < focusOrder.size(); ++i) {
    setTabOrder(focusOrder[i - 1], focusOrder[i]);
  }
  // Every cell of the grid reaches its edge: its ring goes round it.
  auto* focusRing = new FocusRing(this);
  for (QWidget* control : focusOrder) {
    if (control != CColorGrid1) focusRing->Watch(*control);
  }
  focusRing->WatchAround(*CColorGrid1);
  const auto remember = [this](QWidget* /*old*/, QWidget* now) {
    if (now != nullptr && now != Button2 && now->window() == this) LastFocus = now;
  };
  connect(qApp, &QApplication::focusChanged, this, remember);

  // Each label names the control to its right, also for screen readers:
  // the check boxes have no text of their own.
  const auto nameBy = [](QLabel* label, QWidget* control) {
    label->setBuddy(control);
    control->setAccessibleName(label->text());
  };
  const std::array<std::pair<QLabel*, QWidget*>, 6> namedBy = {{
      {Label6, CheckBox2},
      {Label12, CheckBox6},
      {Label7, CColorGrid1},
      {Label4, ScrollBar1},
      {Label1, ScrollBar2},
      {Label8, ComboBox1},
  }};
  for (const auto& [label, control] : namedBy) nameBy(label, control);
  for (const ShowSwitch& row : kShowSwitches) nameBy(this->*row.Label, this->*row.Box);

  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TForm2::ScrollBar1Change);
  connect(ScrollBar2, &QScrollBar::valueChanged, this, &TForm2::ScrollBar2Change);
  connect(CColorGrid1, &TCColorGrid::Change, this, &TForm2::CColorGrid1Change);
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  // Typing and picking from the list both change the text.
  connect(ComboBox1, &QComboBox::editTextChanged, this, &TForm2::MovementTextChanged);
  connect(ComboBox1, &QComboBox::currentTextChanged, this, &TForm2::MovementTextChanged);
  MovementTextChanged(ComboBox1->currentText());

  FormCreate();
}

TForm2::~TForm2() {
  if (Form2 == this) {
    Form2 = nullptr;
  }
}

QCheckBox* TForm2::GetCheckBox(PanelCheckBox box) const {
  const std::array<QCheckBox*, 9> boxes = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5,
                                           CheckBox6, CheckBox7, CheckBox8, CheckBox9};
  const int number = static_cast<int>(box);
  return number >= 1 && number <= 9 ? boxes[static_cast<std::size_t>(number - 1)] : nullptr;
}

bool TForm2::IsChecked(PanelCheckBox box) const {
  const QCheckBox* checkBox = GetCheckBox(box);
  return checkBox != nullptr && checkBox->isChecked();
}

int TForm2::GetScrollBar1Position() const { return ScrollBar1->value(); }

int TForm2::GetScrollBar2Position() const { return ScrollBar2->value(); }

TColor TForm2::GetForegroundColor() const { return CColorGrid1->GetForegroundColor(); }

TColor TForm2::GetBackgroundColor() const { return CColorGrid1->GetBackgroundColor(); }

void TForm2::MovementTextChanged(const QString& text) { MovementText = text.toStdString(); }

void TForm2::Button2Click() {
  if (Form1 == nullptr) {
    return;
  }
  trilume::Button2Click(Form1->GetDrawing(), *this, Form1->GetOuterSize());
  Form1->ShowDrawing();
  SpeakNow(*Button2, QStringLiteral("Picture cleared."));
}

void TForm2::Button1Click() {
  if (FreeFlightFlag == 1) {
    if (Form1 != nullptr) {
      Form1->Timer3.SetEnabled(false);
    }
    Button1->setText(QStringLiteral("FREE The Triangle"));
    FreeFlightFlag = 0;
  } else {
    if (Form1 != nullptr) {
      Form1->Timer3.SetEnabled(true);
    }
    Button1->setText(QStringLiteral("LAND The Triangle"));
    FreeFlightFlag = 1;
  }
  // Qt's own event for the new label carries no text to speak.
  SendNameAsText(Button1, -1, Button1->text());
}

void TForm2::FormCreate() { DesignSize.Start(); }

void TForm2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm2::showEvent(QShowEvent* event) {
  // Return to reopen and Return again must not wipe the picture. Not yet
  // active, the panel only notes where its focus goes.
  if (focusWidget() == Button2) {
    QWidget* next = LastFocus != nullptr ? LastFocus.data() : ScrollBar1;
    next->setFocus(Qt::OtherFocusReason);
  }
  QWidget::showEvent(event);
}

void TForm2::CColorGrid1Change() {
  if (Form1 == nullptr) {
    return;
  }
  trilume::CColorGrid1Change(Form1->GetDrawing(), *this, Form1->GetOuterSize());
  Form1->ShowDrawing();
}

void TForm2::ScrollBar1Change() { ShowValue(Label5, ScrollBar1->value(), kLabel5Width); }

void TForm2::ScrollBar2Change() { ShowValue(Label2, ScrollBar2->value(), kLabel2Width); }

}  // namespace trilume
