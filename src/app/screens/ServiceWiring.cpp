#include "app/screens/ServiceWiring.h"

#include "app/screens/AppLinks.h"

#ifdef VELK_HAVE_APP_SERVICES
#include "app/screens/NotesManagerView.h"
#include "app/services/AppServices.h"
#include "app/services/LocationService.h"
#include "app/services/MailPoller.h"
#include "app/services/NotesStore.h"
#endif

namespace velk::app {

#ifdef VELK_HAVE_APP_SERVICES

namespace {

// The notes sheet's view of the app's one notes store.
class NotesStoreSource : public NotesSource {
public:
    explicit NotesStoreSource(QObject* parent) : NotesSource(parent), store_(new NotesStore(this))
    {
        connect(store_, &NotesStore::notesChanged, this, &NotesSource::notesChanged);
    }
    QList<NoteItem> notes() const override { return store_->notes(); }
    void add(const QString& text) override { store_->add(text); }
    void remove(const NoteItem& note) override { store_->remove(note); }
    void togglePin(const NoteItem& note) override { store_->togglePin(note); }
    std::optional<QString> keptAsidePath() const override { return store_->keptAsidePath(); }

private:
    NotesStore* store_;
};

} // namespace

bool wireServices(AppLinks& links)
{
    AppServices& hub = AppServices::shared();
    links.remindersConnected = [&hub] { return hub.remindersConnected(); };
    links.calendarConnected = [&hub] { return hub.calendarConnected(); };
    links.connectReminders = [&hub] { hub.connectReminders(); };
    links.connectCalendar = [&hub] { hub.connectCalendar(); };
    links.restartStatsTimer = [&hub] { hub.restartStatsTimer(); };
    links.requestLocation = [] { LocationService::shared().request(); };
    links.locationSourceAvailable = [] { return LocationService::shared().manager().hasSource(); };
    links.startMail = [](bool userInitiated) { MailPoller::shared().start(userInitiated); };
    links.stopMail = [] { MailPoller::shared().stop(); };
    links.mailStatus = [] { return MailPoller::shared().status(); };
    QObject::connect(&hub, &AppServices::connectionChanged, &links, &AppLinks::statusChanged);
    QObject::connect(&MailPoller::shared(), &MailPoller::statusChanged, &links, &AppLinks::statusChanged);
    QObject::connect(&LocationService::shared(), &LocationService::placeStored, &links, &AppLinks::statusChanged);
    NotesManagerView::setAppSource(new NotesStoreSource(&links));
    return true;
}

void startServices()
{
    AppServices::shared().start();
}

#else

bool wireServices(AppLinks&)
{
    return false;
}
void startServices() {}

#endif

} // namespace velk::app
