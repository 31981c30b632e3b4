#pragma once
// The control bar's first page: every processor with its inputs and their
// child sources as a tree. Selecting a node selects its processor and
// input in the context; the nodes' menus reach the device commands; the
// event signals keep the tree in step with the model. It is also the reset
// job's progress receiver.
#include <QTreeWidget>
#include <boost/signals2/connection.hpp>
#include <map>
#include <memory>
#include <vector>

#include "frame/float_tab_ctrl_bar.h"
#include "frame/sig_src_tree_core.h"
#include "model/job_progress.h"

class CDlgProgress;
class CUiSigSrcSubWnd;
class CQelProcessor;
class CGetProTypeEvent;
class CNetConnectEvent;

// The tree control: its page draws every row, and a right click reaches
// the page on release, with nothing selected beforehand.
class CSigSrcTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kLevelIndent = 19;

    explicit CSigSrcTreeCtrl(CUiSigSrcSubWnd& page);

signals:
    void rightClicked(QPoint global);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CUiSigSrcSubWnd& page_;
};

class CUiSigSrcSubWnd : public CUiCtrlBarSubWnd, public IResetProgress {
    Q_OBJECT
public:
    static constexpr int kTreeId = 101;

    explicit CUiSigSrcSubWnd(QWidget* parent = nullptr);
    ~CUiSigSrcSubWnd() override;

    // Rebuilds the whole tree from the processor manager.
    virtual void RebuildTree();
    void RecalcLayout() override;

    // The reset job's report, on the job's thread: handed to the UI thread
    // with its values.
    void OnProgress(int step, int steps, int sub, int subs) override;
    // On the UI thread: the progress window follows until the position
    // reaches the total, then the processor is reconnected.
    void OnResetFinished(int position, int total, int a, int b);

    // A right click at a screen point: selects the node under it, then
    // offers its menu.
    void OnTreeRClick(const QPoint& global);
    // Paints one row: `row` spans the tree's width.
    void DrawTreeItem(QPainter& p, QTreeWidgetItem* item, const QRect& row) const;

    CSigSrcTreeCtrl* Tree() const { return tree_; }
    CDlgProgress* ProgressDialog() const { return progress_; }
    const SigSrcNodeInfo* FindNodeInfo(QTreeWidgetItem* item) const;
    QTreeWidgetItem* FindProcessorNode(uint32_t processorId) const;
    QTreeWidgetItem* FindInputNode(uint32_t processorId, int32_t sourceId) const;

private:
    void OnTreeSelChanged();
    void OnGetProType(const CGetProTypeEvent& event);
    void OnNetConnect(const CNetConnectEvent& event);
    void OnSigSrcAdded(int32_t processorId, int32_t sourceId);
    void OnSigSrcRemoved(int32_t processorId, int32_t sourceId);
    void UpdateEntriesOf(int32_t processorId, int32_t id, bool withChildren, bool all);
    void UpdateSourceText(QTreeWidgetItem* item);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, int index, const QString& text, const SigSrcNodeInfo& info);
    void AddInputNode(QTreeWidgetItem* processorNode, int index, const CQelProcessor& processor,
                      const CQelSigSrc& source);
    void RemoveNode(QTreeWidgetItem* item);
    void SetProcessorStatus(const CQelProcessor& processor, LinkStatus status);

    void OnProcessorMenu(int chosen, const SigSrcNodeInfo& info);
    void OnInputMenu(int chosen, const SigSrcNodeInfo& info);
    void OnChildMenu(const SigSrcNodeInfo& info, const SigSrcNodeInfo& parentInfo);
    void ResetProcessor(const std::shared_ptr<CQelProcessor>& processor);
    void SetProcessorClock();
    void RenameSource(const std::shared_ptr<CQelProcessor>& processor, const SigSrcNodeInfo& info);
    // The main window this page belongs to, wherever the page shows.
    QWidget* MainFrame() const;
    bool FrameCommand(int id) const;

    CSigSrcTreeCtrl* tree_ = nullptr;
    std::map<QTreeWidgetItem*, SigSrcNodeInfo> nodes_;
    std::vector<boost::signals2::scoped_connection> connections_;
    CDlgProgress* progress_ = nullptr;
    ReceiverPtr<IResetProgress> receiver_;
};
