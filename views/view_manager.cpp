#include "views/view_manager.h"

#include "platform/ui/modal.h"
#include "platform/ui/ui_log.h"
#include "views/multi_screen_view.h"
#include "views/navigation_view.h"
#include "views/switch_view.h"

#include <exception>

CViewManager& CViewManager::get_instance()
{
    // Never destroyed: its records are only guarded pointers, and the views
    // go with DestroyViews while the application still exists.
    static CViewManager* manager = new CViewManager;
    return *manager;
}

QWidget* CViewManager::ParkingWidget()
{
    if (!m_parking) {
        m_parking = new QWidget;
        m_parking->setObjectName(QStringLiteral("ViewParking"));
        m_parking->hide();
    }
    return m_parking;
}

QWidget* CViewManager::CreateView(QWidget* parent, const QString& name, const ViewFactory& factory)
{
    // A view is always a child window: without a parent there is nowhere
    // to show it.
    if (!parent)
        return nullptr;
    const auto found = m_views.find(name);
    if (found != m_views.end() && found->second && !found->second->isVisible()) {
        QWidget* view = found->second;
        view->setParent(parent);
        // Reparenting hides a widget.
        view->show();
        return view;
    }
    if (!factory)
        return nullptr;
    QWidget* view = nullptr;
    try {
        view = factory(parent);
    } catch (const std::exception& e) {
        qCWarning(ui::lcUi) << "view" << name << "could not be made:" << e.what();
        return nullptr;
    } catch (...) {
        qCWarning(ui::lcUi) << "view" << name << "could not be made";
        return nullptr;
    }
    if (!view)
        return nullptr;
    if (view->parentWidget() != parent)
        view->setParent(parent);
    view->setGeometry(QRect());
    view->show();
    m_views[name] = view;
    return view;
}

void CViewManager::HideView(QWidget* view)
{
    if (!view)
        return;
    for (const auto& [name, recorded] : m_views) {
        if (recorded == view) {
            view->hide();
            view->setParent(ParkingWidget());
            return;
        }
    }
    view->close();
}

int CViewManager::GetViewKind(QWidget* view)
{
    if (!view)
        return kViewOther;
    if (dynamic_cast<CNavigationView*>(view))
        return kViewNavigation;
    if (dynamic_cast<CMultiScreenView*>(view))
        return kViewWall;
    if (dynamic_cast<CSwitchView*>(view))
        return kViewSwitch;
    return kViewOther;
}

QWidget* CViewManager::FindView(const QString& name) const
{
    const auto found = m_views.find(name);
    return found == m_views.end() ? nullptr : found->second.data();
}

void CViewManager::DestroyViews()
{
    // Deleting one view may delete another (its child); the guarded
    // pointers notice.
    auto views = std::move(m_views);
    m_views.clear();
    for (auto& [name, view] : views)
        delete view.data();
    delete m_parking.data();
}

QString ChooseBitmapFile(QWidget* parent)
{
    ui::FileChoice choice;
    choice.save = false;
    choice.filter = QStringLiteral("位图文件(*.bmp)");
    choice.defaultSuffix = QStringLiteral("bmp");
    return ui::chooseFile(parent, choice);
}
