#include "quactldesigner.h"

#include "quactl/quacolorbar.h"
#include "quactl/quadirectorydialog.h"
#include "quactl/quagraph.h"

QuactlWidgetPlugin::QuactlWidgetPlugin(QString className, QString header, QString toolTip, QSize size, Factory factory,
                                       QObject* parent)
    : QObject(parent),
      className_(std::move(className)),
      header_(std::move(header)),
      toolTip_(std::move(toolTip)),
      size_(size),
      factory_(std::move(factory)) {}

QString QuactlWidgetPlugin::domXml() const {
    // quactl::TQuaGraph is placed as "quaGraph" and so on, at its own size.
    QString object = className_.section(QStringLiteral("::"), -1).mid(1);
    if (!object.isEmpty()) object[0] = object[0].toLower();
    return QStringLiteral(
               "<ui language=\"c++\"><widget class=\"%1\" name=\"%2\">"
               "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>"
               "</property></widget></ui>")
        .arg(className_, object)
        .arg(size_.width())
        .arg(size_.height());
}

QuactlDesignerCollection::QuactlDesignerCollection(QObject* parent) : QObject(parent) {
    widgets_.append(new QuactlWidgetPlugin(
        QStringLiteral("quactl::TQuaGraph"), QStringLiteral("quactl/quagraph.h"), QStringLiteral("Wykres"),
        QSize(200, 150), [](QWidget* p) { return new quactl::TQuaGraph(p); }, this));
    widgets_.append(new QuactlWidgetPlugin(
        QStringLiteral("quactl::TQuaColorBar"), QStringLiteral("quactl/quacolorbar.h"), QStringLiteral("Pasek kolorów"),
        QSize(159, 31), [](QWidget* p) { return new quactl::TQuaColorBar(p); }, this));
    widgets_.append(new QuactlWidgetPlugin(
        QStringLiteral("quactl::TQuaDirectoryDialog"), QStringLiteral("quactl/quadirectorydialog.h"),
        QStringLiteral("Wybór folderu"), QSize(28, 28),
        [](QWidget* p) {
            auto* dialog = new quactl::TQuaDirectoryDialog(p);
            // Hidden at run time; on the form being designed it shows its
            // marker, so that it can be selected and edited.
            if (p) dialog->show();
            return dialog;
        },
        this));
}
