#include "platform/timeline/WidgetDefinition.h"

namespace velk::timeline {

WidgetDefinition::WidgetDefinition(QString kind, QString configurationIntent,
                                   std::shared_ptr<const AnyProvider> provider, Content content, Normaliser normaliser)
    : kind_(std::move(kind)), configurationIntent_(std::move(configurationIntent)), provider_(std::move(provider)),
      content_(std::move(content)), normaliser_(std::move(normaliser))
{}

WidgetDefinition WidgetDefinition::configurationDisplayName(const QString& name) const
{
    WidgetDefinition d = *this;
    d.displayName_ = name;
    return d;
}

WidgetDefinition WidgetDefinition::description(const QString& text) const
{
    WidgetDefinition d = *this;
    d.description_ = text;
    return d;
}

WidgetDefinition WidgetDefinition::supportedFamilies(WidgetFamily family) const
{
    WidgetDefinition d = *this;
    d.family_ = family;
    return d;
}

WidgetDefinition WidgetDefinition::contentMarginsDisabled() const
{
    WidgetDefinition d = *this;
    d.marginsDisabled_ = true;
    return d;
}

QJsonObject WidgetDefinition::configuration(const QJsonObject& stored) const
{
    return normaliser_ ? normaliser_(stored) : QJsonObject();
}

view::View WidgetDefinition::render(const AnyEntry& entry) const
{
    return content_ ? content_(entry) : view::EmptyView();
}

} // namespace velk::timeline
