#include "ui/item_view_accessible.h"

#include <QAccessible>
#include <QListView>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace wardel::qt {
namespace {

// What a screen reader meets in a table or list view: cells inside it read as the model, and every number
// outside it, or on a view without a current cell, gets a cell that is there to ask but holds nothing.
TEST(ItemViewAccessibleTest, AnswersEveryRowColumnAndChildNumberSafely) {
    installItemViewAccessibility();
    QStandardItemModel model(2, 3);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            model.setItem(row, column, new QStandardItem(QStringLiteral("r%1c%2").arg(row).arg(column)));
    model.setHorizontalHeaderLabels({QStringLiteral("Host"), QStringLiteral("Port"), QStringLiteral("Status")});
    QTableView table;
    QListView list;
    struct Case {
        QAbstractItemView* view;
        int columns;
        int headingRows;
        QAccessible::Role cellRole;
        QString lastCell;
    };
    for (const Case& c : {Case{&table, 3, 1, QAccessible::Cell, QStringLiteral("r1c2")},
                          Case{&list, 1, 0, QAccessible::ListItem, QStringLiteral("r1c1")}}) {
        SCOPED_TRACE(c.view->metaObject()->className());
        c.view->setModel(&model);
        list.setModelColumn(1); // a list shows one column of its model
        c.view->show();
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(c.view);
        ASSERT_NE(view, nullptr);
        QAccessibleTableInterface* cells = view->tableInterface();
        ASSERT_NE(cells, nullptr);
        EXPECT_EQ(cells->rowCount(), 2);
        EXPECT_EQ(cells->columnCount(), c.columns);
        EXPECT_EQ(view->childCount(), (2 + c.headingRows) * c.columns);
        EXPECT_EQ(view->focusChild(), nullptr); // no current cell yet

        QAccessibleInterface* last = cells->cellAt(1, c.columns - 1);
        ASSERT_TRUE(last && last->isValid());
        EXPECT_EQ(last->role(), c.cellRole);
        EXPECT_EQ(last->text(QAccessible::Name), c.lastCell);
        EXPECT_EQ(view->indexOfChild(last), view->childCount() - 1);
        if (c.headingRows) {
            EXPECT_EQ(view->child(1)->role(), QAccessible::ColumnHeader);
            EXPECT_EQ(view->child(1)->text(QAccessible::Name), QStringLiteral("Port"));
            EXPECT_EQ(last->tableCellInterface()->columnHeaderCells().value(0), view->child(c.columns - 1));
        }

        for (auto [row, column] : {std::pair{-1, -1}, {2, 0}, {0, c.columns}, {-3, 1}, {99, 99}}) {
            QAccessibleInterface* outside = cells->cellAt(row, column);
            ASSERT_NE(outside, nullptr) << row << "," << column;
            ASSERT_NE(outside->tableCellInterface(), nullptr);
            EXPECT_FALSE(outside->isValid());
            EXPECT_FALSE(outside->tableCellInterface()->isSelected());
            EXPECT_TRUE(outside->tableCellInterface()->columnHeaderCells().isEmpty());
            if (column < 0 || column >= c.columns) {
                EXPECT_TRUE(cells->columnDescription(column).isEmpty());
            }
            EXPECT_FALSE(cells->isRowSelected(row));
        }
        EXPECT_EQ(view->child(-1), nullptr);
        EXPECT_EQ(view->child(view->childCount()), nullptr);

        // A cell a reader still holds after its row went away reads as nothing.
        model.removeRow(1);
        EXPECT_FALSE(last->isValid());
        EXPECT_TRUE(last->text(QAccessible::Name).isEmpty());
        EXPECT_FALSE(cells->cellAt(1, 0)->isValid());
        model.insertRow(1, {new QStandardItem(QStringLiteral("r1c0")), new QStandardItem(QStringLiteral("r1c1")),
                            new QStandardItem(QStringLiteral("r1c2"))});
    }
}

} // namespace
} // namespace wardel::qt
