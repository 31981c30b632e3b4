#pragma once
// The input OSD editor: per input of the processor its caption or logo,
// colours, time overlay and source name; sends them, stores them in the
// processor, and keeps them in IOSD.dat and OsdName.pro.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/input_osd_edit.h"
#include "dialogs/modal_dialog.h"
#include "model/job_progress.h"
#include "platform/ui/notify.h"

#include <QWidget>

class CColourSwatch;
class CIOSDWnd;
class CQelProcessor;
class CStaticColorWnd;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

// The rectangle that stands for the whole input picture.
class CInputMonitor : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CInputOSDConfigDlg : public CModalDialog, public IIOSDSendingProgress, public IOSDSavingProgress {
    Q_OBJECT
public:
    enum Edit {
        kTop,
        kLeft,
        kCaptionRed,
        kCaptionGreen,
        kCaptionBlue,
        kBackRed,
        kBackGreen,
        kBackBlue,
        kTimeTop,
        kTimeLeft,
        kTimeWidth,
        kTimeHeight,
        kEditCount
    };
    // What the dialog is busy with.
    enum JobState { kIdle = 0, kStoring = 1, kSending = 2 };

    explicit CInputOSDConfigDlg(QWidget* parent = nullptr);
    ~CInputOSDConfigDlg() override;

    void SetProcessor(std::shared_ptr<CQelProcessor> processor);

    // Job reports, on the job's thread: the values travel to the UI thread
    // in a queued call, which is dropped once the dialog is gone.
    void OnProgress(int index, int count, int position, int range) override;
    void OnProgress(int done, int total) override;

    // The handlers, as the controls call them (those hidden in the compact
    // layout included).
    void OnSelectItem(int row);
    void OnItemDoubleClicked();
    void OnShownChanged(bool shown);
    void OnTransparentChanged(bool transparent);
    void OnEditChanged(Edit edit);
    void OnSwatch(bool caption);
    void OnLoadPicture();
    void OnSendSelected();
    void OnStoreToProcessor();
    void OnSaveSelected();
    void OnSendAll();
    void OnSync();
    void OnSwitchAll(bool on);
    void OnAllTimeMode(int mode);
    void OnTimeRadio(int radio);
    void OnFontSize(int size);
    void OnNameEdited();
    void OnModify();
    // A preview reports a move (the new position in the monitor) or the end
    // of a drag.
    void OnPreviewNotify(bool caption, const ui::Notify& notify);

    // For the opener and the tests.
    int GetJobState() const { return jobState_; }
    int GetAllTimeMode() const { return allTimeMode_; }
    const inputosd::Items& GetItems() const { return items_; }
    const inputosd::EditValues& GetValues() const { return values_; }
    std::string GetSlotName(int slot) const { return names_.at(size_t(slot)); }
    Rect MonitorRect() const;
    QListWidget* ItemList() const { return list_; }
    QLineEdit* FieldEdit(Edit e) const { return edits_[e]; }
    QLineEdit* NameEdit() const { return nameEdit_; }
    CColourSwatch* CaptionSwatch() const { return captionSwatch_; }
    CIOSDWnd* CaptionPreview() const { return captionPreview_; }
    CIOSDWnd* TimePreview() const { return timePreview_; }
    QProgressBar* ProgressBar() const { return progress_; }
    QLabel* ProgressText() const { return progressText_; }
    // A control by its template id ("确定" is 1, "取消" 2).
    QWidget* Control(int id) const;

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void LayOutForObm(bool obm);
    QString LineText(int row) const;
    void LoadControls();
    void LoadPreviews();
    void KeepEdits();
    std::shared_ptr<tagOSD_DATA_EX2_S> Selected() const;
    // The slot of the selected item; -1 when none.
    int SelectedSlot() const;
    bool Connected();
    void PushItem();
    void SendTimeOverlay();
    void QueueCaptionColour();
    void ShowSwatches();
    // Writes the items into the store and saves IOSD.dat.
    void StoreAndSave(const inputosd::Items& items);
    void StoreAllAndSave();
    void StartTransfer(const std::vector<uint32_t>& keys);
    void SetJobState(int state);
    void HandleSending(int index, int count, int position, int range);
    void HandleSaving(int done, int total);

    std::shared_ptr<CQelProcessor> processor_;
    inputosd::Items items_;
    std::vector<std::string> names_;
    inputosd::EditValues values_;
    int selected_ = -1;
    int jobState_ = kIdle;
    int allTimeMode_ = 0;
    bool loading_ = false; // controls being filled: their changes are not edits
    ReceiverPtr<IIOSDSendingProgress> sendingHandle_;
    ReceiverPtr<IOSDSavingProgress> savingHandle_;

    QListWidget* list_ = nullptr;
    std::array<QLineEdit*, kEditCount> edits_{};
    QRadioButton* shownRadio_ = nullptr;
    QRadioButton* hiddenRadio_ = nullptr;
    QAbstractButton* transparent_ = nullptr;
    std::array<QRadioButton*, 3> timeRadios_{};
    std::array<QRadioButton*, 3> fontRadios_{};
    CColourSwatch* captionSwatch_ = nullptr;
    CColourSwatch* backSwatch_ = nullptr;
    CStaticColorWnd* logoPreview_ = nullptr;
    CInputMonitor* monitor_ = nullptr;
    CIOSDWnd* captionPreview_ = nullptr;
    CIOSDWnd* timePreview_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QWidget* colourRow_ = nullptr;
    QWidget* timePositionRow_ = nullptr;
    // The controls a running job disables.
    std::vector<QWidget*> editing_;
};
