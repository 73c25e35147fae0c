#pragma once
// Every intent type the widgets use, by type name, so the host can run a button's intent from
// the data the button carries, and describe or normalise a placed widget's configuration.
// Actions run on the calling thread and may block: the host calls run() from a worker thread.
#include "platform/intents/Intent.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace velk::intents {

struct IntentRunResult {
    bool ok = false;
    QString error; // why the intent did not run
};

class IntentRegistry {
public:
    // The process's registry.
    static IntentRegistry& shared();

    IntentRegistry();
    ~IntentRegistry();
    IntentRegistry(const IntentRegistry&) = delete;
    IntentRegistry& operator=(const IntentRegistry&) = delete;

    template <ActionIntent I>
    void registerAction()
    {
        add(describeIntent<I>(false),
            [](const QJsonObject& values) -> IntentRunResult {
                QString error;
                auto intent = intentFromParameters<I>(values, &error);
                if (!intent) return {false, error};
                intent->perform();
                return {true, {}};
            },
            {});
    }

    template <Intent I>
    void registerConfiguration()
    {
        add(describeIntent<I>(true), {},
            [](const QJsonObject& stored) { return parameterValues(configurationFrom<I>(stored)); });
    }

    bool contains(const QString& typeName) const;
    QStringList typeNames() const; // sorted
    std::optional<IntentDescription> description(const QString& typeName) const;

    // Runs the action named typeName with the given parameter values (missing ones take their
    // defaults). Unknown types, configuration intents and bad values do not run.
    IntentRunResult run(const QString& typeName, const QJsonObject& parameters) const;

    // The effective values of a stored configuration (every parameter present, bad or missing
    // ones at their defaults), or nothing for a type that is not a registered configuration.
    std::optional<QJsonObject> configuration(const QString& typeName, const QJsonObject& stored) const;

private:
    using Runner = std::function<IntentRunResult(const QJsonObject&)>;
    using Normaliser = std::function<QJsonObject(const QJsonObject&)>;
    void add(IntentDescription description, Runner runner, Normaliser normaliser);

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace velk::intents
