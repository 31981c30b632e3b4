#include "dialogs/input_osd_config_dlg.h"

#include "corlane/fstr.h"
#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/field_check.h"
#include "dialogs/input_osd_controls.h"
#include "dialogs/osd_config_dlg.h"
#include "dialogs/osd_name_file.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "model/processor_jobs.h"
#include "model/processor_settings.h"
#include "plan/osd_picture.h"
#include "platform/ui/modal.h"
#include "platform/ui/post_to_ui.h"
#include "platform/ui/rect_convert.h"
#include "uikit/movable_wnd.h"
#include "uikit/static_color_wnd.h"
#include "views/view_manager.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

using namespace inputosd;

namespace {

constexpr char kTitle[] = "输入源台标设置";
constexpr char kSendFailed[] = "发送台标失败，请重试!";
constexpr char kStoreFailed[] = "保存台标失败，请重试!";
constexpr char kStoreDone[] = "保存台标完毕!";
// OsdName.pro keeps names in code page 936, which cannot hold every name.
constexpr char kNameNotStorable[] = "信号源名称含有无法保存的字符，请修改!";
constexpr char kNameNotSaved[] = "信号源名称已发送，但未能保存到文件!";
constexpr char kNameNotKept[] = "信号源名称未能保存到文件!";

} // namespace

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
    LayOutForObm(processor_ && processor_->settings().GetObm() == 1);

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
    processor_->jobs().SendOsdImageRequest(0, nullptr, std::make_shared<const tagOSD_DATA_EX_S>(StoredItemOf(*item)));
}

void CInputOSDConfigDlg::SendTimeOverlay()
{
    KeepEdits();
    const auto item = Selected();
    if (!item || !Connected())
        return;
    processor_->jobs().SetTimeOsdRequest(*item);
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
    const NumberField& limits = kEdits[e];
    const FieldValue field = ReadField(edits_[size_t(e)]->text().toStdString(), 0, limits.max, limits.fallback);
    if (field.refused) {
        ui::inform(this, RangeMessage(0, limits.max));
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
    if (processor_->jobs().EnableAllTimeRequest(mode) != 0)
        ui::inform(this, Tr(kSendFailed));
}

// ---- Sending and storing ---------------------------------------------------

void CInputOSDConfigDlg::StoreAndSave(const Items& items)
{
    if (!processor_)
        return;
    StoreItems(*processor_, items);
    processor_->GetInputOsd().Save(); // a failure is logged by the store
}

void CInputOSDConfigDlg::StoreAllAndSave()
{
    StoreAndSave(items_);
}

void CInputOSDConfigDlg::StartTransfer(const std::vector<uint32_t>& keys)
{
    if (processor_->jobs().StartSendInputOsd(0, sendingHandle_, keys) != 0) {
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
    if (processor_->jobs().StartOsdPosition(item->input, item->item, savingHandle_, steps, 0) != 0) {
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
    // The name is kept whether or not the device takes it, so that it is
    // there to send again when the editor opens next.
    std::string error;
    const bool kept = WriteOsdName(SlotLabel(item->input, item->item), name, error);
    if (!kept)
        LogModelError("input OSD: source name of " + SlotLabel(item->input, item->item) + " not kept: " + error);
    bool sent = false;
    if (Connected()) {
        sent = processor_->jobs().SendRaw(SourceNameCommand(item->input, item->item, name)) == 0;
        if (sent)
            processor_->jobs().EnableAllTimeRequest(allTimeMode_);
        else
            ui::inform(this, Tr(kSendFailed));
    }
    if (!kept)
        ui::inform(this, Tr(sent ? kNameNotSaved : kNameNotKept));
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
