#include "quactldesigner.h"

#include "quactl/quacolorbar.h"
#include "quactl/quagraph.h"

QuactlWidgetPlugin::QuactlWidgetPlugin(QString className, QString header, QString toolTip, Factory factory,
                                       QObject* parent)
    : QObject(parent),
      className_(std::move(className)),
      header_(std::move(header)),
      toolTip_(std::move(toolTip)),
      factory_(std::move(factory)) {}

QString QuactlWidgetPlugin::domXml() const {
    // quactl::TQuaGraph is placed as "quaGraph" and so on.
    QString object = className_.section(QStringLiteral("::"), -1).mid(1);
    if (!object.isEmpty()) object[0] = object[0].toLower();
    return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\"/></ui>").arg(className_, object);
}

QuactlDesignerCollection::QuactlDesignerCollection(QObject* parent) : QObject(parent) {
    widgets_.append(new QuactlWidgetPlugin(
        QStringLiteral("quactl::TQuaGraph"), QStringLiteral("quactl/quagraph.h"), QStringLiteral("Wykres"),
        [](QWidget* p) { return new quactl::TQuaGraph(p); }, this));
    widgets_.append(new QuactlWidgetPlugin(
        QStringLiteral("quactl::TQuaColorBar"), QStringLiteral("quactl/quacolorbar.h"), QStringLiteral("Pasek kolorów"),
        [](QWidget* p) { return new quactl::TQuaColorBar(p); }, this));
}
