// The input OSD editor's controls in Qt: the compact layout the operator
// sees (the item list at the left; at the right the caption colour row, the
// time group, the source name row, the progress row and OK / Cancel), the
// OBM variant of it, and the rest of the template in a hidden container
// whose handlers stay reachable.
#include "dialogs/dialog_support.h"
#include "dialogs/input_osd_config_dlg.h"
#include "dialogs/input_osd_controls.h"
#include "dialogs/osd_config_dlg.h"
#include "platform/ui/gdi_paint.h"
#include "uikit/movable_wnd.h"
#include "uikit/static_color_wnd.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace inputosd;

namespace {

constexpr ui::ColorRef kMonitorColour = 0x757575;
constexpr ui::ColorRef kPreviewFrame = 0xC8C8C8;
constexpr QSize kMonitorSize(320, 180);
constexpr QSize kSwatchSize(40, 22);
constexpr int kTimeRadioIds[] = {1134, 1135, 1136};
constexpr int kFontRadioIds[] = {1160, 1161, 1162};

QPushButton* MakeButton(QWidget* parent, int id, const char* text)
{
    auto* button = new QPushButton(Tr(text), parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

QRadioButton* MakeRadio(QWidget* parent, int id, const char* text)
{
    auto* radio = new QRadioButton(Tr(text), parent);
    radio->setObjectName(QString::number(id));
    return radio;
}

} // namespace

void CInputMonitor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::fillRect(p, Rect{0, 0, width(), height()}, kMonitorColour);
}

void CInputOSDConfigDlg::BuildControls()
{
    setAttribute(Qt::WA_NoSystemBackground, false);
    auto* layout = new QHBoxLayout(this);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("1107"));
    list_->setFixedWidth(170);
    layout->addWidget(list_);

    for (int e = 0; e < kEditCount; ++e) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(kEdits[e].id));
        edit->setFixedWidth(48);
        edits_[size_t(e)] = edit;
    }

    // The compact layout: what the operator sees.
    auto* right = new QVBoxLayout;
    layout->addLayout(right);

    colourRow_ = new QWidget(this);
    auto* colour = new QHBoxLayout(colourRow_);
    colour->setContentsMargins(0, 0, 0, 0);
    colour->addWidget(new QLabel(Tr("字体颜色："), colourRow_));
    captionSwatch_ = new CColourSwatch(colourRow_);
    captionSwatch_->setObjectName(QStringLiteral("1102"));
    captionSwatch_->setFixedSize(kSwatchSize);
    captionSwatch_->color = ui::rgb(255, 255, 255);
    const char* const rgb[] = {"R", "G", "B"};
    for (int c = 0; c < 3; ++c) {
        colour->addWidget(new QLabel(QString::fromLatin1(rgb[c]), colourRow_));
        edits_[size_t(kCaptionRed + c)]->setParent(colourRow_);
        colour->addWidget(edits_[size_t(kCaptionRed + c)]);
    }
    colour->addWidget(captionSwatch_);
    colour->addStretch();
    right->addWidget(colourRow_);

    auto* time = new QGroupBox(Tr("时间"), this);
    time->setObjectName(QStringLiteral("timeGroup"));
    auto* timeGrid = new QGridLayout(time);
    auto* timeGroup = new QButtonGroup(this);
    const char* const timeTexts[] = {"启用", "禁用", "只启用当前信号源"};
    for (int r = 0; r < 3; ++r) {
        timeRadios_[size_t(r)] = MakeRadio(time, kTimeRadioIds[r], timeTexts[r]);
        timeGroup->addButton(timeRadios_[size_t(r)], r);
        timeGrid->addWidget(timeRadios_[size_t(r)], 0, r);
    }
    auto* allOn = MakeButton(time, 1078, "启用所有时间");
    auto* allOff = MakeButton(time, 1080, "禁用所有时间");
    auto* allNames = MakeButton(time, 1081, "只启用信号源名称");
    timeGrid->addWidget(allOn, 1, 0);
    timeGrid->addWidget(allOff, 1, 1);
    timeGrid->addWidget(allNames, 1, 2);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel(Tr("字号："), time));
    auto* fontGroup = new QButtonGroup(this);
    const char* const fontTexts[] = {"小", "中", "大"};
    for (int s = 0; s < 3; ++s) {
        fontRadios_[size_t(s)] = MakeRadio(time, kFontRadioIds[s], fontTexts[s]);
        fontGroup->addButton(fontRadios_[size_t(s)], s);
        fontRow->addWidget(fontRadios_[size_t(s)]);
    }
    fontRow->addStretch();
    timeGrid->addLayout(fontRow, 2, 0, 1, 3);
    timePositionRow_ = new QWidget(time);
    auto* position = new QHBoxLayout(timePositionRow_);
    position->setContentsMargins(0, 0, 0, 0);
    const char* const positionTexts[] = {"上：", "左：", "宽：", "高："};
    for (int e = kTimeTop; e <= kTimeHeight; ++e) {
        position->addWidget(new QLabel(Tr(positionTexts[e - kTimeTop]), timePositionRow_));
        edits_[size_t(e)]->setParent(timePositionRow_);
        position->addWidget(edits_[size_t(e)]);
    }
    timeGrid->addWidget(timePositionRow_, 3, 0, 1, 3);
    right->addWidget(time);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(Tr("信号源名称："), this));
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QStringLiteral("1173"));
    nameRow->addWidget(nameEdit_);
    auto* modify = MakeButton(this, 1177, "Modify");
    modify->setText(QStringLiteral("Modify"));
    nameRow->addWidget(modify);
    right->addLayout(nameRow);

    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("1048"));
    progress_->setTextVisible(false);
    progressText_ = new QLabel(QStringLiteral("1 / 1"), this);
    progressText_->setObjectName(QStringLiteral("1117"));
    progressRow->addWidget(progress_);
    progressRow->addWidget(progressText_);
    right->addLayout(progressRow);
    progress_->hide();
    progressText_->hide();

    auto* buttons = new QHBoxLayout;
    MakeOkCancel(buttons);
    // Enter must not confirm the dialog.
    ok_->setDefault(false);
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    right->addLayout(buttons);
    right->addStretch();

    // The full template's other controls: hidden in the compact layout, their
    // handlers stay as they are.
    auto* full = new QWidget(this);
    full->setObjectName(QStringLiteral("fullLayout"));
    auto* fullGrid = new QGridLayout(full);
    shownRadio_ = MakeRadio(full, 1089, "显示");
    hiddenRadio_ = MakeRadio(full, 1090, "隐藏");
    auto* shownGroup = new QButtonGroup(this);
    shownGroup->addButton(shownRadio_, 1);
    shownGroup->addButton(hiddenRadio_, 0);
    auto* transparent = new QCheckBox(Tr("背景透明"), full);
    transparent->setObjectName(QStringLiteral("1093"));
    transparent_ = transparent;
    fullGrid->addWidget(shownRadio_, 0, 0);
    fullGrid->addWidget(hiddenRadio_, 0, 1);
    fullGrid->addWidget(transparent, 0, 2);
    for (int e : {kTop, kLeft, kBackRed, kBackGreen, kBackBlue})
        edits_[size_t(e)]->setParent(full);
    fullGrid->addWidget(edits_[kTop], 1, 0);
    fullGrid->addWidget(edits_[kLeft], 1, 1);
    fullGrid->addWidget(edits_[kBackRed], 2, 0);
    fullGrid->addWidget(edits_[kBackGreen], 2, 1);
    fullGrid->addWidget(edits_[kBackBlue], 2, 2);
    backSwatch_ = new CColourSwatch(full);
    backSwatch_->setObjectName(QStringLiteral("1101"));
    backSwatch_->setFixedSize(kSwatchSize);
    backSwatch_->color = ui::rgb(255, 255, 255);
    fullGrid->addWidget(backSwatch_, 2, 3);
    logoPreview_ = new CStaticColorWnd(full);
    logoPreview_->setObjectName(QStringLiteral("1103"));
    logoPreview_->setFixedSize(kOsdMaxWidth, kOsdMaxHeight);
    logoPreview_->pictureSource = Rect{0, 0, kOsdMaxWidth, kOsdMaxHeight};
    fullGrid->addWidget(logoPreview_, 3, 0, 1, 4);
    auto* load = MakeButton(full, 1079, "加载图片");
    fullGrid->addWidget(load, 4, 0);
    auto* sendOne = MakeButton(full, 1108, "发送至处理器");
    auto* store = MakeButton(full, 1109, "保存至处理器");
    auto* save = MakeButton(full, 1112, "保存");
    auto* sendAll = MakeButton(full, 1111, "发送所有台标至处理器");
    auto* sync = MakeButton(full, 1113, "同步当前设置到所有台标");
    auto* allShown = MakeButton(full, 1115, "启用所有台标");
    auto* allHidden = MakeButton(full, 1114, "禁用所有台标");
    QPushButton* fullButtons[] = {sendOne, store, save, sendAll, sync, allShown, allHidden};
    for (int b = 0; b < 7; ++b)
        fullGrid->addWidget(fullButtons[b], 5 + b / 4, b % 4);
    monitor_ = new CInputMonitor(full);
    monitor_->setObjectName(QStringLiteral("1118"));
    monitor_->setFixedSize(kMonitorSize);
    fullGrid->addWidget(monitor_, 7, 0, 1, 4);
    const Rect limit{0, 0, kMonitorSize.width(), kMonitorSize.height()};
    captionPreview_ = new CIOSDWnd;
    timePreview_ = new CIOSDWnd;
    for (CIOSDWnd* preview : {captionPreview_, timePreview_}) {
        preview->frameColor = kPreviewFrame;
        preview->notifyOn = false; // until the first item is in place
        preview->Create(limit, Rect{0, 0, 1, 1}, monitor_, 0);
    }
    full->hide();

    editing_ = {list_,   shownRadio_, hiddenRadio_, transparent, captionSwatch_, backSwatch_, load,
                sendOne, store,       save,         sendAll,     sync,           allShown,    allHidden,
                allOn,   allOff,      allNames,     nameEdit_,   modify,         ok_,         cancel_};
    for (QLineEdit* edit : edits_)
        editing_.push_back(edit);
    for (auto* radio : timeRadios_)
        editing_.push_back(radio);
    for (auto* radio : fontRadios_)
        editing_.push_back(radio);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { OnSelectItem(row); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { OnItemDoubleClicked(); });
    connect(shownGroup, &QButtonGroup::idClicked, this, [this](int id) { OnShownChanged(id == 1); });
    connect(transparent, &QCheckBox::clicked, this, [this](bool on) { OnTransparentChanged(on); });
    for (int e = 0; e < kEditCount; ++e)
        connect(edits_[size_t(e)], &QLineEdit::textChanged, this, [this, e] { OnEditChanged(Edit(e)); });
    connect(captionSwatch_, &CColourSwatch::clicked, this, [this] { OnSwatch(true); });
    connect(backSwatch_, &CColourSwatch::clicked, this, [this] { OnSwatch(false); });
    connect(load, &QPushButton::clicked, this, [this] { OnLoadPicture(); });
    connect(sendOne, &QPushButton::clicked, this, [this] { OnSendSelected(); });
    connect(store, &QPushButton::clicked, this, [this] { OnStoreToProcessor(); });
    connect(save, &QPushButton::clicked, this, [this] { OnSaveSelected(); });
    connect(sendAll, &QPushButton::clicked, this, [this] { OnSendAll(); });
    connect(sync, &QPushButton::clicked, this, [this] { OnSync(); });
    connect(allShown, &QPushButton::clicked, this, [this] { OnSwitchAll(true); });
    connect(allHidden, &QPushButton::clicked, this, [this] { OnSwitchAll(false); });
    connect(allOn, &QPushButton::clicked, this, [this] { OnAllTimeMode(1); });
    connect(allOff, &QPushButton::clicked, this, [this] { OnAllTimeMode(0); });
    connect(allNames, &QPushButton::clicked, this, [this] { OnAllTimeMode(2); });
    connect(timeGroup, &QButtonGroup::idClicked, this, [this](int radio) { OnTimeRadio(radio); });
    connect(fontGroup, &QButtonGroup::idClicked, this, [this](int size) { OnFontSize(size); });
    connect(nameEdit_, &QLineEdit::textChanged, this, [this] { OnNameEdited(); });
    connect(modify, &QPushButton::clicked, this, [this] { OnModify(); });
    connect(captionPreview_, &CIOSDWnd::notify, this, [this](const ui::Notify& n) { OnPreviewNotify(true, n); });
    connect(timePreview_, &CIOSDWnd::notify, this, [this](const ui::Notify& n) { OnPreviewNotify(false, n); });
}

void CInputOSDConfigDlg::LayOutForObm(bool obm)
{
    // The OBM layout edits where the time overlay sits instead of the colour
    // of the source name.
    timePositionRow_->setVisible(obm);
    colourRow_->setVisible(!obm);
    Control(1081)->setVisible(!obm);
    Control(1136)->setVisible(!obm);
    Control(1177)->setVisible(!obm);
}
