#include "ui/form2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <array>

#include "render/frame.h"
#include "ui/form1.h"

namespace trilume {

TForm2* Form2 = nullptr;

namespace {

constexpr int kLabelHeight = 13;
constexpr int kCheckBoxSize = 17;
constexpr int kLabel5Width = 12;
constexpr int kLabel2Width = 6;

QLabel* MakeLabel(QWidget* parent, const QByteArray& text, int left, int top, int width) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setAutoFillBackground(true);
  QPalette blue = label->palette();
  blue.setColor(QPalette::Window, QColor(0, 0, 255));
  label->setPalette(blue);
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

QScrollBar* MakeScrollBar(QWidget* parent, int left, int top, int minimum, int maximum,
                          int position, int pageStep) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setGeometry(left, top, 57, 17);
  bar->setRange(minimum, maximum);
  bar->setValue(position);
  bar->setSingleStep(1);
  bar->setPageStep(pageStep);
  bar->setFocusPolicy(Qt::StrongFocus);
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

QPushButton* MakeButton(QWidget* parent, const char* text, int left, int top, int width) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setGeometry(left, top, width, 17);
  button->setFocusPolicy(Qt::StrongFocus);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
  Form2 = this;
  setWindowTitle(QStringLiteral("TRILUME CONTROL PANEL"));
  move(kDesignLeft, kDesignTop);
  QPalette black = palette();
  black.setColor(QPalette::Window, QColor(0, 0, 0));
  setPalette(black);
  setAutoFillBackground(true);
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
  ScrollBar1 = MakeScrollBar(this, 208, 8, 1, kMaxTraceCount, kDefaultTraceCount, 20);
  Label5 = MakeLabel(this, QByteArray::number(kDefaultTraceCount), 272, 8, kLabel5Width);
  Label1 = MakeLabel(this, "ALTERNATIVE COLORS", 80, 32, 121);
  ScrollBar2 =
      MakeScrollBar(this, 208, 32, 1, kMaxAlternativeColours, kDefaultAlternativeColours, 1);
  Label2 = MakeLabel(this, QByteArray::number(kDefaultAlternativeColours), 272, 32, kLabel2Width);

  Label10 = MakeLabel(this, "SHOW YELLOW TRIANGLE", 120, 64, 139);
  CheckBox4 = MakeCheckBox(this, 4, 272, 64);
  Label15 = MakeLabel(this, "SHOW NUMBERS SQUARE", 120, 80, 139);
  CheckBox9 = MakeCheckBox(this, 9, 272, 80);
  Label3 = MakeLabel(this, "SHOW ADDITIONALS", 120, 96, 109);
  CheckBox1 = MakeCheckBox(this, 1, 272, 96);
  Label9 = MakeLabel(this, "SHOW CLOCK NUMBERS", 120, 112, 129);
  CheckBox3 = MakeCheckBox(this, 3, 272, 112);
  Label11 = MakeLabel(this, "SHOW LINE LENGTHS", 120, 128, 115);
  CheckBox5 = MakeCheckBox(this, 5, 272, 128);
  Label13 = MakeLabel(this, "SHOW HANDS", 120, 144, 75);
  CheckBox7 = MakeCheckBox(this, 7, 272, 144);
  Label14 = MakeLabel(this, "SHOW LINK LINES", 120, 160, 95);
  CheckBox8 = MakeCheckBox(this, 8, 272, 160);
  Label8 = MakeLabel(this, "MOVEMENT", 120, 176, 62);

  ComboBox1 = new QComboBox(this);
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->addItems({QStringLiteral("SMOOTH"), QStringLiteral("FAST"), QStringLiteral("TICK"),
                       QStringLiteral("TICK2"), QStringLiteral("TICKBACK1"),
                       QStringLiteral("TICKBACK2"), QStringLiteral("HALFBACK")});
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
  switch (box) {
    case PanelCheckBox::kShowAdditionals:
      return CheckBox1;
    case PanelCheckBox::kTraceOn:
      return CheckBox2;
    case PanelCheckBox::kShowClockNumbers:
      return CheckBox3;
    case PanelCheckBox::kShowYellowTriangle:
      return CheckBox4;
    case PanelCheckBox::kShowLineLengths:
      return CheckBox5;
    case PanelCheckBox::kRainbow:
      return CheckBox6;
    case PanelCheckBox::kShowHands:
      return CheckBox7;
    case PanelCheckBox::kShowLinkLines:
      return CheckBox8;
    case PanelCheckBox::kShowNumbersSquare:
      return CheckBox9;
  }
  return nullptr;
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
  trilume::Button2Click(Form1->GetCanvas(), *this, Form1->GetOuterSize());
  Form1->Image1->update();
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
}

void TForm2::FormCreate() { resize(kClientWidth, kClientHeight); }

void TForm2::CColorGrid1Change() {
  if (Form1 == nullptr) {
    return;
  }
  trilume::CColorGrid1Change(Form1->GetCanvas(), *this, Form1->GetOuterSize());
  Form1->Image1->update();
}

void TForm2::ScrollBar1Change() { ShowValue(Label5, ScrollBar1->value(), kLabel5Width); }

void TForm2::ScrollBar2Change() { ShowValue(Label2, ScrollBar2->value(), kLabel2Width); }

}  // namespace trilume
