// Qt Designer plug-in of the plotting components: TQuaGraph, TQuaColorBar
// and TQuaDirectoryDialog on the widget box page "Quarnet".
#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QSize>

#include <functional>

class QuactlWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    using Factory = std::function<QWidget*(QWidget*)>;
    QuactlWidgetPlugin(QString className, QString header, QString toolTip, QSize size, Factory factory, QObject* parent);

    QString name() const override { return className_; }
    QString group() const override { return QStringLiteral("Quarnet"); }
    QString toolTip() const override { return toolTip_; }
    QString whatsThis() const override { return toolTip_; }
    QString includeFile() const override { return header_; }
    QIcon icon() const override { return QIcon(); }
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override { return factory_(parent); }
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }
    QString domXml() const override;

private:
    QString className_, header_, toolTip_;
    QSize size_;
    Factory factory_;
    bool initialized_ = false;
};

class QuactlDesignerCollection : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit QuactlDesignerCollection(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};
