#pragma once
// Points the screens at the app's background services: AppLinks at the service hub, the Mail
// poller and the location service, and the notes sheet at the notes store. Without the
// services library (a build of the screens alone) it wires nothing and says so.
namespace velk::app {

class AppLinks;

// Returns false when this build has no services to wire.
bool wireServices(AppLinks& links);
// Starts the collectors once; later calls do nothing.
void startServices();

} // namespace velk::app
