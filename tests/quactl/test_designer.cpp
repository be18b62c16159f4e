// The components as Qt Designer and uic see them: Qt properties with the
// components' own names and rules, the plug-in that offers them on the page
// "Quarnet", and a form saved by Designer built into code by uic.
#include "quactl/quacolorbar.h"
#include "quactl/quadirectorydialog.h"
#include "quactl/quagraph.h"
#include "ui_quarnetform.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

#include <functional>
#include <memory>

#ifdef QUACTL_DESIGNER_PLUGIN
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#endif

using namespace quactl;

namespace {

// A value different from `value` of the same type, for a write-and-read-back.
QVariant Changed(const QMetaProperty& property, const QVariant& value) {
    if (property.isFlagType()) return QVariant(value.toInt() ^ TQuaDirectoryDialog::AncestorsOnly);
    switch (value.metaType().id()) {
    case QMetaType::Bool: return !value.toBool();
    case QMetaType::Int: return value.toInt() + 1;
    case QMetaType::Double: return value.toDouble() + 0.5;
    case QMetaType::QString: return value.toString() + QStringLiteral("ż");
    case QMetaType::QColor: return QColor(12, 34, 56);
    case QMetaType::QFont: {
        QFont font = value.value<QFont>();
        font.setPointSize(font.pointSize() + 3);
        return font;
    }
    }
    return {};
}

// Every property the class itself declares is designable, readable and
// writable, and reads back what was written: the READ and WRITE functions
// of one property reach the same setting.
void ExpectOwnPropertiesRoundTrip(QWidget& widget) {
    const QMetaObject* meta = widget.metaObject();
    ASSERT_GT(meta->propertyCount(), meta->propertyOffset()) << meta->className();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        SCOPED_TRACE(property.name());
        EXPECT_TRUE(property.isReadable() && property.isWritable() && property.isDesignable());
        const QVariant changed = Changed(property, property.read(&widget));
        ASSERT_TRUE(changed.isValid()) << "no changed value for " << property.typeName();
        ASSERT_TRUE(property.write(&widget, changed));
        const QVariant back = property.read(&widget);
        if (property.isFlagType())
            EXPECT_EQ(back.toInt(), changed.toInt());
        else
            EXPECT_EQ(back, changed);
    }
}

}  // namespace

TEST(DesignerPropertiesTest, EveryPropertyReadsBackWhatWasWritten) {
    TQuaGraph graph;
    TQuaColorBar bar;
    TQuaDirectoryDialog dialog;
    for (QWidget* widget : {static_cast<QWidget*>(&graph), static_cast<QWidget*>(&bar), static_cast<QWidget*>(&dialog)})
        ExpectOwnPropertiesRoundTrip(*widget);
}

TEST(DesignerPropertiesTest, PropertiesGoThroughTheComponentsOwnRules) {
    TQuaGraph graph;
    TQuaColorBar bar;
    TQuaDirectoryDialog dialog;
    struct Case {
        QWidget* widget;
        const char* property;
        QVariant value;
        std::function<bool()> holds;
    };
    const Case cases[] = {
        // Clamped to 100 and then to 100 minus the right margin.
        {&graph, "MarginLeft", 150, [&] { return graph.MarginLeft() == 98; }},
        {&graph, "MarginBottom", -4, [&] { return graph.MarginBottom() == 0; }},
        {&graph, "GraphColor", QColor(0, 0, 128), [&] { return graph.GraphColor() == clNavy; }},
        {&graph, "Color", QColor(255, 0, 0), [&] { return graph.Color() == clRed && graph.GraphColor() == clNavy; }},
        {&graph, "Title", QStringLiteral("Kanał 3"), [&] { return graph.Title() == "Kanał 3"; }},
        {&graph, "AxisBottomCaption", QStringLiteral("Czas [s]"),
         [&] { return graph.AxisBottom().Caption() == "Czas [s]" && graph.AxisLeft().Caption().isEmpty(); }},
        {&graph, "AxisLeftLogScale", true,
         [&] { return graph.AxisLeft().LogScale() && !graph.AxisBottom().LogScale(); }},
        {&graph, "AxisLeftColor", QColor(0, 128, 0),
         [&] { return graph.AxisLeft().Color() == clGreen && graph.AxisBottom().Color() == clBlack; }},
        {&graph, "AxisBottomFormatString", QStringLiteral("0.0E+0"),
         [&] { return graph.AxisBottom().FormatString() == "0.0E+0" && graph.AxisLeft().FormatString() == "##0.000"; }},
        // A range below the present one, end after end as a form sets it.
        {&graph, "AxisBottomMaxValue", -2.0, [&] { return graph.AxisBottom().MaxValue() == -2.0; }},
        {&graph, "AxisBottomMinValue", -5.0,
         [&] { return graph.AxisBottom().MinValue() == -5.0 && graph.AxisBottom().Range() == 3.0; }},
        {&graph, "TitleFont", QFont(QStringLiteral("Arial"), 14),
         [&] { return graph.TitleFont().Size() == 14 && graph.AxisLeft().Font().Size() == 8; }},
        // Clamped to the bar's width (159) less the right offset.
        {&bar, "OffsetLeft", 200, [&] { return bar.OffsetLeft() == 159; }},
        {&bar, "StartColor", QColor(0, 255, 0), [&] { return bar.StartColor() == clLime && bar.EndColor() == clBlue; }},
        {&dialog, "Style", int(TQuaDirectoryDialog::AncestorsOnly | TQuaDirectoryDialog::DirsOnly),
         [&] { return dialog.BrowseFlags() == 0x0009u; }},
        {&dialog, "Directory", QStringLiteral("/dane/sejsmogramy"),
         [&] { return dialog.Directory() == "/dane/sejsmogramy"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        ASSERT_TRUE(c.widget->setProperty(c.property, c.value));
        EXPECT_TRUE(c.holds());
    }
}

TEST(DesignerPropertiesTest, FormSavedByDesignerBuildsTheComponentsAsSet) {
    QWidget form;
    Ui::QuarnetForm ui;
    ui.setupUi(&form);

    TQuaGraph& graph = *ui.quaGraph;
    EXPECT_EQ(graph.Title(), "Sejsmogram Z");
    EXPECT_EQ(graph.TitleFont().Size(), 11);
    EXPECT_TRUE(graph.TitleFont().Style() & fsBold);
    EXPECT_EQ(graph.GraphColor(), RGBColor(255, 255, 192));
    EXPECT_EQ(graph.MarginLeft(), 7);
    EXPECT_EQ(graph.AxisLeft().Caption(), "Amplituda");
    EXPECT_FALSE(graph.AxisLeft().Auto());
    EXPECT_EQ(graph.AxisLeft().MaxValue(), -2.0);
    EXPECT_EQ(graph.AxisLeft().MinValue(), -5.0);
    EXPECT_EQ(graph.AxisBottom().FormatString(), "0.0");
    EXPECT_EQ(graph.AxisBottom().Color(), clNavy);
    EXPECT_TRUE(graph.AxisBottom().Grid());
    EXPECT_FALSE(graph.AxisLeft().Grid());

    EXPECT_EQ(ui.quaColorBar->EndColor(), clLime);
    EXPECT_EQ(ui.quaColorBar->OffsetRight(), 12);
    EXPECT_EQ(ui.quaDirectoryDialog->Title(), "Folder wyników");
    EXPECT_EQ(ui.quaDirectoryDialog->BrowseFlags(), 0x0003u);

    // At run time the directory dialog has no picture on the form.
    form.show();
    EXPECT_TRUE(ui.quaGraph->isVisible());
    EXPECT_FALSE(ui.quaDirectoryDialog->isVisible());
    EXPECT_EQ(ui.quaDirectoryDialog->OwnerWindow(), &form);
}

#ifdef QUACTL_DESIGNER_PLUGIN
TEST(DesignerPluginTest, CreatesEachComponentAsItselfWithItsInitialProperties) {
    QPluginLoader loader(QStringLiteral(QUACTL_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    ASSERT_NE(collection, nullptr) << loader.errorString().toStdString();

    struct Expected {
        const char* className;
        const char* header;
        std::vector<std::pair<const char*, QVariant>> properties;
    };
    const std::vector<Expected> expected = {
        {"quactl::TQuaGraph",
         "quactl/quagraph.h",
         {{"Title", QString()},
          {"MarginLeft", 2},
          {"MarginBottom", 2},
          {"Color", QColor(255, 255, 255)},
          {"GraphColor", QColor(255, 255, 255)},
          {"AxisLeftFormatString", QStringLiteral("##0.000")},
          {"AxisBottomMaxValue", 1.0},
          {"AxisBottomMinValue", 0.0},
          {"AxisLeftAuto", true},
          {"AxisBottomShowCaption", true}}},
        {"quactl::TQuaColorBar",
         "quactl/quacolorbar.h",
         {{"StartColor", QColor(255, 0, 0)}, {"EndColor", QColor(0, 0, 255)}, {"OffsetLeft", 0}, {"OffsetRight", 0}}},
        {"quactl::TQuaDirectoryDialog",
         "quactl/quadirectorydialog.h",
         {{"Title", QStringLiteral("Wybierz folder")}, {"Directory", QStringLiteral(".")}}},
    };

    const QList<QDesignerCustomWidgetInterface*> offered = collection->customWidgets();
    ASSERT_EQ(offered.size(), qsizetype(expected.size()));
    QWidget form;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QDesignerCustomWidgetInterface* plugin = offered[qsizetype(i)];
        SCOPED_TRACE(expected[i].className);
        EXPECT_EQ(plugin->name(), expected[i].className);
        EXPECT_EQ(plugin->group(), "Quarnet");
        EXPECT_EQ(plugin->includeFile(), expected[i].header);
        EXPECT_FALSE(plugin->isContainer());
        EXPECT_TRUE(plugin->domXml().contains(QStringLiteral("class=\"%1\"").arg(expected[i].className)));

        std::unique_ptr<QWidget> made(plugin->createWidget(&form));
        ASSERT_NE(made, nullptr);
        // Designer compares this name with the one it placed: a plain
        // QWidget here is the class-name mismatch it warns of.
        EXPECT_STREQ(made->metaObject()->className(), expected[i].className);
        EXPECT_EQ(made->parentWidget(), &form);
        for (const auto& [name, value] : expected[i].properties) {
            SCOPED_TRACE(name);
            const int index = made->metaObject()->indexOfProperty(name);
            ASSERT_GE(index, 0);
            EXPECT_TRUE(made->metaObject()->property(index).isDesignable());
            EXPECT_EQ(made->property(name), value);
        }
        // On the form being designed every component can be seen, the
        // directory dialog included.
        EXPECT_FALSE(made->isHidden());
    }
    auto* dialog = qobject_cast<TQuaDirectoryDialog*>(offered[2]->createWidget(&form));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->property("Style").toInt(), int(TQuaDirectoryDialog::DirsOnly));
    delete dialog;
}
#endif
