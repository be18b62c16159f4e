// What the operator can read of the seismogram window at the size it opens
// with: no caption, value or control of the data page cut or hidden, and
// every value of both lists in view.
#include "seismogramfixture.h"

#include "app/settings/colourpanel.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;

namespace {

// The width a control needs for its text, and the height for that width.
QSize Needed(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w); label && label->wordWrap())
        return {label->minimumSizeHint().width(), label->heightForWidth(label->width())};
    if (qobject_cast<const QLabel*>(&w) || qobject_cast<const QAbstractButton*>(&w)) return w.sizeHint();
    return w.minimumSizeHint();
}

QString Name(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) return button->text();
    return w.objectName();
}

// Every column of `list` holds its cells, and all of them are in view:
// the operator reads every value and reaches the polarity column without
// scrolling sideways. A caption cut by a narrow window is whole in its
// column's tooltip.
void ExpectColumnsFit(QTreeWidget& list) {
    const QAbstractItemView& view = list;
    int sum = 0;
    for (int c = 0; c < list.columnCount(); ++c) {
        SCOPED_TRACE(list.headerItem()->text(c).toStdString());
        EXPECT_GE(list.columnWidth(c), view.sizeHintForColumn(c));
        EXPECT_EQ(list.headerItem()->toolTip(c), list.headerItem()->text(c));
        sum += list.columnWidth(c);
    }
    EXPECT_LE(sum, list.viewport()->width());
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
}

}  // namespace

TEST_F(SeismogramTest, EveryTextOfTheDataPageCanBeReadAtTheFirstSize) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 30}));
    ASSERT_NE(w, nullptr);
    // Long texts where the operator types.
    w->DataEdit("AddInfo")->setText(QStringLiteral("Wstrząs w rejonie XIV, zarejestrowany przez wszystkie stacje sieci"));
    w->Notes().setPlainText(QStringLiteral("Data: 24.03.14\nCzas: 07:42:16\nOddział: ZG-R\nTyp zjawiska: 1"));
    ASSERT_EQ(w->size(), kSeismogramMinimumSize);
    ASSERT_EQ(w->Pages().currentIndex(), kPageData);
    QWidget* page = w->Pages().widget(kPageData);
    QApplication::processEvents();

    // All of it at once: should the page scroll, it does not at this size.
    QWidget* shownArea = page;
    if (auto* scroll = page->findChild<QScrollArea*>()) {
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
        shownArea = scroll->viewport();
    }
    const QRect visible = shownArea->rect();

    int checked = 0;
    for (QWidget* c : page->findChildren<QWidget*>()) {
        const bool text = qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c) ||
                          dynamic_cast<TColourPanel*>(c) || qobject_cast<QLineEdit*>(c) ||
                          qobject_cast<QPlainTextEdit*>(c) || qobject_cast<QGroupBox*>(c);
        if (!text || !c->isVisible() || c->parentWidget() == nullptr || c->window() != w->window()) continue;
        if (qobject_cast<QLineEdit*>(c->parentWidget())) continue;  // parts of other controls
        SCOPED_TRACE(Name(*c).toStdString());
        const QSize needed = Needed(*c);
        EXPECT_GE(c->width(), needed.width());
        EXPECT_GE(c->height(), needed.height());
        const QRect shown(c->mapTo(shownArea, QPoint(0, 0)), c->size());
        EXPECT_TRUE(visible.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x"
                                             << shown.height();
        ++checked;
    }
    // The captions, units, values and controls of the page were all seen.
    EXPECT_GE(checked, 30);
    // Each group's title over its frame.
    for (const QGroupBox* g : page->findChildren<QGroupBox*>()) {
        SCOPED_TRACE(g->title().toStdString());
        EXPECT_GE(g->width(), g->fontMetrics().horizontalAdvance(g->title()));
    }
    // The notes show a few lines, not a sliver.
    EXPECT_GE(w->Notes().viewport()->height(), 3 * w->Notes().fontMetrics().lineSpacing());
    EXPECT_GE(w->DataEdit("AddInfo")->width(), 100);
}

TEST_F(SeismogramTest, ListColumnsShowEveryValueAtTheFirstSize) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 30}));
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 25; ++i) {
        w->PlacePick(1.0);
        w->NextChannel();
    }
    ASSERT_EQ(w->size(), kSeismogramMinimumSize);
    for (int page : {kPageNetwork, kPageProcessing}) {
        w->Pages().setCurrentIndex(page);
        QApplication::processEvents();
        ExpectColumnsFit(page == kPageNetwork ? w->NetInfo() : w->ProcessingList());
    }

    // Maximised on a wide screen there is room for all: the columns share
    // the width equally, every caption whole.
    fm->resize(1400, 900);
    qobject_cast<QMdiSubWindow*>(w->parentWidget())->showMaximized();
    QApplication::processEvents();
    ASSERT_GT(w->width(), 1300);
    for (int page : {kPageNetwork, kPageProcessing}) {
        w->Pages().setCurrentIndex(page);
        QTreeWidget* list = page == kPageNetwork ? &w->NetInfo() : &w->ProcessingList();
        const int n = list->columnCount();
        for (int c = 0; c < n; ++c) {
            EXPECT_EQ(list->columnWidth(c), (w->width() - 8 - n) / n);
            EXPECT_GE(list->columnWidth(c), list->header()->sectionSizeHint(c));
        }
    }
}
