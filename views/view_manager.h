#pragma once
// The registry of views by name. The main frame asks for a view by name and
// factory; a view once made stays recorded, and asking again while it is
// hidden gives the same widget back with its plan and state. Hidden views
// are parked under a hidden widget of the manager, so none becomes a
// top-level window; DestroyViews deletes them all at shut-down. UI thread
// only.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

// The kinds of view the frame and the caption buttons act by.
enum ViewKind { kViewOther = 0, kViewNavigation = 1, kViewWall = 2, kViewSwitch = 3 };

class CViewManager {
public:
    // Makes a view as a child of the given parent.
    using ViewFactory = std::function<QWidget*(QWidget* parent)>;

    template <class View>
    static ViewFactory FactoryOf()
    {
        return [](QWidget* parent) -> QWidget* { return new View(parent); };
    }

    static CViewManager& get_instance();

    // The hidden view recorded under the name, moved under parent and shown;
    // else a new view from the factory, recorded under the name in place of
    // an earlier one, and shown. Null, with nothing recorded, for a null
    // parent or factory, or when the factory gives nothing or throws.
    QWidget* CreateView(QWidget* parent, const QString& name, const ViewFactory& factory);
    // Parks a recorded view hidden; closes a widget the manager does not
    // know.
    void HideView(QWidget* view);
    // The kind by the view's class; 0 for a null or deleted view.
    static int GetViewKind(QWidget* view);
    // The view recorded under the name; null when none or deleted.
    QWidget* FindView(const QString& name) const;

    // Deletes every recorded view and the parking widget and forgets them.
    // The main frame calls it while closing, before the settings are saved.
    void DestroyViews();

private:
    CViewManager() = default;
    ~CViewManager() = default;
    QWidget* ParkingWidget();

    std::map<QString, QPointer<QWidget>> m_views;
    QPointer<QWidget> m_parking;
};

// The file chooser for a logo bitmap; the chosen path, or "" when
// cancelled.
QString ChooseBitmapFile(QWidget* parent = nullptr);
