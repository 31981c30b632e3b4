#include "dialogs/input_osd_config_dlg.h"

#include "corlane/fstr.h"
#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/field_check.h"
#include "dialogs/osd_config_dlg.h"
#include "dialogs/osd_name_file.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "plan/osd_picture.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/modal.h"
#include "platform/ui/post_to_ui.h"
#include "platform/ui/rect_convert.h"
#include "uikit/movable_wnd.h"
#include "uikit/static_color_wnd.h"
#include "views/view_manager.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
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

constexpr char kTitle[] = "输入源台标设置";
constexpr char kSendFailed[] = "发送台标失败，请重试!";
constexpr char kStoreFailed[] = "保存台标失败，请重试!";
constexpr char kStoreDone[] = "保存台标完毕!";
// OsdName.pro keeps names in code page 936, which cannot hold every name.
constexpr char kNameNotStorable[] = "信号源名称含有无法保存的字符，请修改!";
constexpr char kNameNotSaved[] = "信号源名称已发送，但未能保存到文件!";

constexpr ui::ColorRef kMonitorColour = 0x757575;
constexpr ui::ColorRef kPreviewFrame = 0xC8C8C8;
constexpr QSize kMonitorSize(320, 180);
constexpr QSize kSwatchSize(40, 22);

struct EditSpec {
    int id;
    int max;
    int fallback;
};
constexpr EditSpec kEdits[CInputOSDConfigDlg::kEditCount] = {
    {1094, kMaxPosition, 0}, {1095, kMaxPosition, 0}, {1098, kMaxColour, 255},    {1099, kMaxColour, 255},
    {1100, kMaxColour, 255}, {1091, kMaxColour, 255}, {1096, kMaxColour, 255},    {1097, kMaxColour, 255},
    {1104, kMaxPosition, 0}, {1105, kMaxPosition, 0}, {1106, kMaxTimeWidth, 255}, {1110, kMaxTimeHeight, 127},
};
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

CInputOSDConfigDlg::CInputOSDConfigDlg(QWidget* parent)
    : CModalDialog(parent), sendingHandle_(CReceiverHandle<IIOSDSendingProgress>::Make(this)),
      savingHandle_(CReceiverHandle<IOSDSavingProgress>::Make(this))
{
    BuildControls();
}

CInputOSDConfigDlg::~CInputOSDConfigDlg()
{
    // A report under way finishes first; none starts afterwards.
    sendingHandle_->Revoke();
    savingHandle_->Revoke();
}

void CInputOSDConfigDlg::SetProcessor(std::shared_ptr<CQelProcessor> processor)
{
    processor_ = std::move(processor);
}

QWidget* CInputOSDConfigDlg::Control(int id) const
{
    if (id == 1)
        return ok_;
    if (id == 2)
        return cancel_;
    return findChild<QWidget*>(QString::number(id));
}

Rect CInputOSDConfigDlg::MonitorRect() const
{
    return Rect{0, 0, monitor_->width(), monitor_->height()};
}

// ---- Controls --------------------------------------------------------------

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

// ---- Opening and the item list ---------------------------------------------

void CInputOSDConfigDlg::OnInitDialog()
{
    items_.clear();
    if (processor_)
        processor_->GetInputOsd().CopyItems(items_);
    names_ = ReadOsdNames();
    for (auto& item : items_) {
        const Resolution size = processor_ ? InputSize(*processor_, item->input, item->item) : kDefaultInput;
        item->inputWidth = size.width;
        item->inputHeight = size.height;
        item->inputRate = size.rate;
    }

    const auto [across, down] = TitleSize(processor_ ? processor_->GetKind() : 0);
    setWindowTitle(
        QString::fromStdString(qz::vok::fstr_format("%s(%d*%d)", Tr(kTitle).toUtf8().constData(), across, down)));
    LayOutForObm(processor_ && processor_->GetObm() == 1);

    loading_ = true;
    list_->clear();
    for (size_t row = 0; row < items_.size(); ++row) {
        auto* line = new QListWidgetItem(LineText(int(row)), list_);
        line->setData(Qt::UserRole, ItemKey(items_[row]->input, items_[row]->item));
    }
    loading_ = false;
    selected_ = -1;
    SetJobState(kIdle);
    if (!items_.empty())
        list_->setCurrentRow(0);
}

QString CInputOSDConfigDlg::LineText(int row) const
{
    const auto& item = *items_[size_t(row)];
    const int slot = SlotIndex(item.input, item.item);
    const std::string name = slot >= 0 ? names_[size_t(slot)] : std::string(" ");
    return QString::fromStdString(SlotLabel(item.input, item.item) + name);
}

std::shared_ptr<tagOSD_DATA_EX2_S> CInputOSDConfigDlg::Selected() const
{
    if (selected_ < 0 || size_t(selected_) >= items_.size())
        return nullptr;
    return items_[size_t(selected_)];
}

void CInputOSDConfigDlg::OnSelectItem(int row)
{
    if (loading_)
        return;
    KeepEdits();
    if (row < 0 || size_t(row) >= items_.size())
        return;
    selected_ = row;
    values_ = ValuesOf(*items_[size_t(row)]);
    LoadControls();
}

void CInputOSDConfigDlg::OnItemDoubleClicked()
{
    const int slot = SelectedSlot();
    if (slot >= 0)
        nameEdit_->setText(QString::fromStdString(names_[size_t(slot)]));
}

void CInputOSDConfigDlg::KeepEdits()
{
    if (const auto item = Selected())
        items_[size_t(selected_)] = std::make_shared<tagOSD_DATA_EX2_S>(BuildItem(values_, *item));
}

void CInputOSDConfigDlg::LoadControls()
{
    loading_ = true;
    const int numbers[kEditCount] = {values_.top,
                                     values_.left,
                                     RedOf(values_.captionColour),
                                     GreenOf(values_.captionColour),
                                     BlueOf(values_.captionColour),
                                     RedOf(values_.backColour),
                                     GreenOf(values_.backColour),
                                     BlueOf(values_.backColour),
                                     values_.timeTop,
                                     values_.timeLeft,
                                     values_.timeWidth,
                                     values_.timeHeight};
    for (int e = 0; e < kEditCount; ++e)
        edits_[size_t(e)]->setText(QString::number(numbers[e]));
    (values_.shown ? shownRadio_ : hiddenRadio_)->setChecked(true);
    transparent_->setChecked(values_.transparent != 0);
    timeRadios_[size_t(TimeRadioOfMode(values_.timeMode))]->setChecked(true);
    fontRadios_[size_t(std::clamp(values_.fontSize, 0, 2))]->setChecked(true);
    loading_ = false;
    ShowSwatches();
    LoadPreviews();
}

void CInputOSDConfigDlg::ShowSwatches()
{
    captionSwatch_->color = ui::ColorRef(values_.captionColour);
    backSwatch_->color = ui::ColorRef(values_.backColour);
    captionSwatch_->update();
    backSwatch_->update();
    logoPreview_->picture = values_.logo.bitmap;
    logoPreview_->pictureOn = !values_.logo.bitmap.empty();
    logoPreview_->update();
}

void CInputOSDConfigDlg::LoadPreviews()
{
    const auto item = Selected();
    if (!item)
        return;
    const tagOSD_DATA_EX2_S shown = BuildItem(values_, *item);
    const Rect monitor = MonitorRect();
    const std::pair<CIOSDWnd*, Rect> places[] = {{captionPreview_, CaptionPreviewRect(monitor, shown)},
                                                 {timePreview_, TimePreviewRect(monitor, shown)}};
    for (const auto& [preview, rect] : places) {
        preview->notifyOn = false;
        preview->setGeometry(ui::toQRect(rect));
        preview->notifyOn = true;
    }
}

// ---- Edits -----------------------------------------------------------------

bool CInputOSDConfigDlg::Connected()
{
    if (processor_ && processor_->IsConnected())
        return true;
    ui::inform(this, Tr(dlgtext::kNotConnected));
    return false;
}

void CInputOSDConfigDlg::PushItem()
{
    KeepEdits();
    const auto item = Selected();
    if (!item || !Connected())
        return;
    processor_->SendOsdImageRequest(0, nullptr, StoreFormOf(*item));
}

void CInputOSDConfigDlg::SendTimeOverlay()
{
    KeepEdits();
    const auto item = Selected();
    if (!item || !Connected())
        return;
    processor_->SetTimeOsdRequest(*item);
}

void CInputOSDConfigDlg::QueueCaptionColour()
{
    const auto item = Selected();
    if (!item || !processor_ || !processor_->IsConnected())
        return;
    processor_->QueueCommand(qz::vok::fstr_format("I_F OSDWC %d %d 0x%02x%02x%02x\r\n", item->input, item->item,
                                                  RedOf(values_.captionColour), GreenOf(values_.captionColour),
                                                  BlueOf(values_.captionColour)));
}

void CInputOSDConfigDlg::OnShownChanged(bool shown)
{
    values_.shown = shown ? (values_.shown ? values_.shown : 1) : 0;
    PushItem();
}

void CInputOSDConfigDlg::OnTransparentChanged(bool transparent)
{
    values_.transparent = transparent ? 1 : 0;
    PushItem();
}

void CInputOSDConfigDlg::OnEditChanged(Edit e)
{
    if (loading_ || !Selected())
        return;
    const EditSpec& spec = kEdits[e];
    const FieldValue field = ReadField(edits_[size_t(e)]->text().toStdString(), 0, spec.max, spec.fallback);
    if (field.outOfRange) {
        ui::inform(this, RangeMessage(0, spec.max));
        return;
    }
    const int v = field.value;
    auto& c = values_;
    switch (e) {
    case kTop: c.top = v; break;
    case kLeft: c.left = v; break;
    case kCaptionRed: c.captionColour = PackColour(v, GreenOf(c.captionColour), BlueOf(c.captionColour)); break;
    case kCaptionGreen: c.captionColour = PackColour(RedOf(c.captionColour), v, BlueOf(c.captionColour)); break;
    case kCaptionBlue: c.captionColour = PackColour(RedOf(c.captionColour), GreenOf(c.captionColour), v); break;
    case kBackRed: c.backColour = PackColour(v, GreenOf(c.backColour), BlueOf(c.backColour)); break;
    case kBackGreen: c.backColour = PackColour(RedOf(c.backColour), v, BlueOf(c.backColour)); break;
    case kBackBlue: c.backColour = PackColour(RedOf(c.backColour), GreenOf(c.backColour), v); break;
    case kTimeTop: c.timeTop = v; break;
    case kTimeLeft: c.timeLeft = v; break;
    case kTimeWidth: c.timeWidth = v; break;
    case kTimeHeight: c.timeHeight = v; break;
    default: break;
    }
    switch (e) {
    case kTop:
    case kLeft:
        LoadPreviews();
        PushItem();
        break;
    case kCaptionRed:
    case kCaptionGreen:
    case kCaptionBlue:
        ShowSwatches();
        QueueCaptionColour();
        PushItem();
        break;
    case kBackRed:
    case kBackGreen:
    case kBackBlue:
        ShowSwatches();
        PushItem();
        break;
    default:
        LoadPreviews();
        SendTimeOverlay();
        break;
    }
}

void CInputOSDConfigDlg::OnSwatch(bool caption)
{
    if (!Selected())
        return;
    int32_t& colour = caption ? values_.captionColour : values_.backColour;
    const auto chosen = ui::chooseColour(this, ui::ColorRef(colour));
    if (!chosen)
        return;
    colour = int32_t(*chosen & 0xFFFFFF);
    const int first = caption ? kCaptionRed : kBackRed;
    loading_ = true;
    edits_[size_t(first)]->setText(QString::number(RedOf(colour)));
    edits_[size_t(first + 1)]->setText(QString::number(GreenOf(colour)));
    edits_[size_t(first + 2)]->setText(QString::number(BlueOf(colour)));
    loading_ = false;
    ShowSwatches();
    PushItem();
    if (caption)
        QueueCaptionColour();
}

void CInputOSDConfigDlg::OnLoadPicture()
{
    if (!Selected())
        return;
    const QString path = ChooseBitmapFile(this);
    if (path.isEmpty())
        return;
    if (OsdRecordFromPicture(values_.logo, path.toStdString()) != 0) {
        LogModelWarning("input OSD: the picture " + path.toStdString() + " could not be loaded; the logo is kept");
        ui::inform(this, Tr(dlgtext::kPictureFailed));
        return;
    }
    // Into the dialog's copy; the processor gets it with the next push.
    KeepEdits();
    ShowSwatches();
    LoadPreviews();
}

void CInputOSDConfigDlg::OnPreviewNotify(bool caption, const ui::Notify& n)
{
    const auto item = Selected();
    if (!item)
        return;
    const Rect m = MonitorRect();
    if (n.code == CSigSrcClipWnd::kMoved) {
        const int x = FromMonitor(n.p0, m.left, m.right - m.left, item->inputWidth);
        const int y = FromMonitor(n.p1, m.top, m.bottom - m.top, item->inputHeight);
        (caption ? values_.left : values_.timeLeft) = x;
        (caption ? values_.top : values_.timeTop) = y;
        loading_ = true;
        edits_[caption ? kLeft : kTimeLeft]->setText(QString::number(x));
        edits_[caption ? kTop : kTimeTop]->setText(QString::number(y));
        loading_ = false;
        KeepEdits();
    } else if (n.code == CSigSrcClipWnd::kDragEnded) {
        caption ? PushItem() : SendTimeOverlay();
    }
}

// ---- Time overlay ----------------------------------------------------------

void CInputOSDConfigDlg::OnTimeRadio(int radio)
{
    values_.timeMode = TimeModeOfRadio(radio);
    KeepEdits();
    SendTimeOverlay();
}

void CInputOSDConfigDlg::OnFontSize(int size)
{
    values_.fontSize = size;
    SendTimeOverlay();
}

void CInputOSDConfigDlg::OnAllTimeMode(int mode)
{
    if (!Connected())
        return;
    allTimeMode_ = mode;
    KeepEdits();
    SetAllModes(items_, mode);
    if (const auto item = Selected()) {
        values_ = ValuesOf(*item);
        LoadControls();
    }
    StoreAllAndSave();
    if (processor_->EnableAllTimeRequest(mode) != 0)
        ui::inform(this, Tr(kSendFailed));
}

// ---- Sending and storing ---------------------------------------------------

void CInputOSDConfigDlg::StoreAndSave(const Items& items)
{
    if (!processor_)
        return;
    StoreItems(processor_->GetInputOsd(), items);
    processor_->GetInputOsd().Save(); // a failure is logged by the store
}

void CInputOSDConfigDlg::StoreAllAndSave()
{
    StoreAndSave(items_);
}

void CInputOSDConfigDlg::StartTransfer(const std::vector<uint32_t>& keys)
{
    if (processor_->StartSendInputOsd(0, sendingHandle_, keys) != 0) {
        ui::inform(this, Tr(kSendFailed));
        return;
    }
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progressText_->setText(QStringLiteral("1 / %1").arg(keys.size()));
    SetJobState(kSending);
}

void CInputOSDConfigDlg::OnSendSelected()
{
    if (!Connected())
        return;
    KeepEdits();
    const auto item = Selected();
    if (!item)
        return;
    StoreAndSave({item});
    StartTransfer({ItemKey(item->input, item->item)});
}

void CInputOSDConfigDlg::OnSendAll()
{
    if (!Connected())
        return;
    KeepEdits();
    StoreAllAndSave();
    std::vector<uint32_t> keys;
    for (const auto& item : items_)
        keys.push_back(ItemKey(item->input, item->item));
    StartTransfer(keys);
}

void CInputOSDConfigDlg::OnSwitchAll(bool on)
{
    if (!Connected())
        return;
    KeepEdits();
    SetAllModes(items_, on ? 1 : 0);
    if (!on)
        allTimeMode_ = 0;
    if (const auto item = Selected()) {
        values_ = ValuesOf(*item);
        LoadControls();
    }
    OnSendAll();
}

void CInputOSDConfigDlg::OnSaveSelected()
{
    KeepEdits();
    if (const auto item = Selected())
        StoreAndSave({item});
}

void CInputOSDConfigDlg::OnStoreToProcessor()
{
    if (!Connected())
        return;
    const auto item = Selected();
    if (!item)
        return;
    int steps = 0;
    if (processor_->StartOsdPosition(item->input, item->item, savingHandle_, steps, 0) != 0) {
        ui::inform(this, Tr(kStoreFailed));
        return;
    }
    progress_->setRange(0, steps);
    progress_->setValue(0);
    progressText_->setText(QStringLiteral("1 / 1"));
    SetJobState(kStoring);
}

void CInputOSDConfigDlg::OnSync()
{
    KeepEdits();
    SyncToAll(items_, values_);
}

void CInputOSDConfigDlg::SetJobState(int state)
{
    jobState_ = state;
    const bool idle = state == kIdle;
    for (QWidget* control : editing_)
        control->setEnabled(idle);
    progress_->setVisible(!idle);
    progressText_->setVisible(!idle);
}

void CInputOSDConfigDlg::OnProgress(int index, int count, int position, int range)
{
    ui::postToUi(this, [this, index, count, position, range] { HandleSending(index, count, position, range); });
}

void CInputOSDConfigDlg::OnProgress(int done, int total)
{
    ui::postToUi(this, [this, done, total] { HandleSaving(done, total); });
}

void CInputOSDConfigDlg::HandleSending(int index, int count, int position, int range)
{
    if (jobState_ != kSending)
        return;
    switch (SendingProgress(index, count)) {
    case Progress::Running:
        progressText_->setText(QStringLiteral("%1 / %2").arg(index + 1).arg(count));
        progress_->setRange(0, std::max(range, 0));
        progress_->setValue(std::clamp(position, 0, std::max(range, 0)));
        break;
    case Progress::Done: SetJobState(kIdle); break;
    case Progress::Failed:
        // The job reports one past the count when an item did not go out.
        SetJobState(kIdle);
        ui::inform(this, Tr(kSendFailed));
        break;
    }
}

void CInputOSDConfigDlg::HandleSaving(int done, int total)
{
    if (jobState_ != kStoring)
        return;
    const Progress state = SavingProgress(done, total);
    if (state == Progress::Running) {
        progress_->setRange(0, std::max(total, 0));
        progress_->setValue(std::clamp(done, 0, std::max(total, 0)));
        return;
    }
    SetJobState(kIdle);
    ui::inform(this, Tr(state == Progress::Done ? kStoreDone : kStoreFailed));
}

// ---- Source names ----------------------------------------------------------

int CInputOSDConfigDlg::SelectedSlot() const
{
    const auto item = Selected();
    return item ? SlotIndex(item->input, item->item) : -1;
}

void CInputOSDConfigDlg::OnNameEdited()
{
    const int slot = SelectedSlot();
    if (slot < 0)
        return;
    names_[size_t(slot)] = nameEdit_->text().toStdString();
    if (QListWidgetItem* line = list_->item(selected_))
        line->setText(LineText(selected_));
}

void CInputOSDConfigDlg::OnModify()
{
    const int slot = SelectedSlot();
    if (slot < 0)
        return;
    const auto item = Selected();
    const std::string name = names_[size_t(slot)];
    // Refused before anything goes out: the file could not keep it.
    if (!CanStoreOsdName(name)) {
        ui::inform(this, Tr(kNameNotStorable));
        return;
    }
    if (!Connected())
        return;
    if (processor_->SendRaw(SourceNameCommand(item->input, item->item, name)) != 0) {
        ui::inform(this, Tr(kSendFailed));
        return;
    }
    processor_->EnableAllTimeRequest(allTimeMode_);
    std::string error;
    if (!WriteOsdName(SlotLabel(item->input, item->item), name, error)) {
        LogModelError("input OSD: source name of " + SlotLabel(item->input, item->item) + " not kept: " + error);
        ui::inform(this, Tr(kNameNotSaved));
    }
}

// ---- Closing ---------------------------------------------------------------

void CInputOSDConfigDlg::OnOK()
{
    KeepEdits();
    StoreAllAndSave();
    accept();
}

void CInputOSDConfigDlg::OnCancel()
{
    reject();
}

void CInputOSDConfigDlg::reject()
{
    // A running job ends with its last report; until then the dialog stays.
    if (jobState_ != kIdle)
        return;
    CModalDialog::reject();
}

void CInputOSDConfigDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->accept(); return;
    default: CModalDialog::keyPressEvent(event);
    }
}
