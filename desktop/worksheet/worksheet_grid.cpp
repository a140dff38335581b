#include "desktop/worksheet/worksheet_grid.h"

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QStyledItemDelegate>

// Cell editors: every edit goes into the cell at once (so the cell's text is
// what the user sees while typing), and the editor's keys pass the window's
// hooks before anything else.
class GridCellDelegate : public QStyledItemDelegate {
public:
    explicit GridCellDelegate(TWorksheetGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        connect(editor, &QLineEdit::textEdited, this, [this, editor] {
            emit const_cast<GridCellDelegate*>(this)->commitData(editor);
        });
        grid_->editor_ = editor;
        (void)option;
        (void)index;
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        // Leaves the cursor where it is when the cell already says the same.
        auto* line = qobject_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line && line->text() == text) return;
        if (line) {
            line->setText(text);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        // Closed because a message box took the focus: typing goes on where
        // it was once the box has gone (ReopenEditor).
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && (QApplication::activeModalWidget() || !grid_->window()->isActiveWindow())) {
            grid_->resumeCell_ = index;
            grid_->resumeCursor_ = line->cursorPosition();
        }
        if (grid_->editor_ == editor) grid_->editor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return QStyledItemDelegate::eventFilter(object, event);

        // A hook may show a message box. While it is open the grid loses the
        // focus to it, which closes the editor, and the editor may be deleted
        // before the box returns: then nothing of it is touched again, the
        // key ends here and a new editor takes its place on the same cell.
        const QPointer<QObject> editor(object);
        auto editorGone = [&] {
            if (editor) return false;
            grid_->ReopenEditor();
            return true;
        };

        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::KeyPress) {
            const bool handled = grid_->keyPressHook && grid_->keyPressHook(key, object);
            if (editorGone() || handled) return true;
            const bool control = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
            if (!control && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
                const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
                if (!grid_->StepCell(forward)) grid_->LeaveGrid(forward);
                return true;
            }
        } else {
            if (grid_->keyReleaseHook) grid_->keyReleaseHook(key);
            if (editorGone()) return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TWorksheetGrid* grid_;
};

TWorksheetGrid::TWorksheetGrid(QWidget* parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The sizes include the grid line, which the view draws inside each cell.
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(ColWidth + GridLineWidth);
    verticalHeader()->setDefaultSectionSize(RowHeight + GridLineWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A block of cells can be chosen (Shift+click, a drag) to copy out.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setItemDelegate(new GridCellDelegate(this));
}

QString TWorksheetGrid::CellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TWorksheetGrid::SetCellText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        if (column == 0) {
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setBackground(palette().brush(QPalette::Button));
            cell->setTextAlignment(Qt::AlignCenter);
        }
        setItem(row, column, cell);
    }
    cell->setText(text);
}

void TWorksheetGrid::SetRows(int rows)
{
    const int before = rowCount();
    setRowCount(rows);
    for (int r = before; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c) SetCellText(r, c, QString());
}

bool TWorksheetGrid::Owns(const QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

bool TWorksheetGrid::StepCell(bool forward)
{
    int row = currentRow();
    int column = currentColumn();
    if (row < 0 || column < 0) {
        setCurrentCell(0, 1);
        return true;
    }
    const int last = columnCount() - 1;
    if (forward) {
        if (column < last) {
            ++column;
        } else {
            if (row + 1 >= rowCount()) return false;
            ++row;
            column = 1;
        }
        column = std::max(column, 1);
    } else {
        if (column > 1) {
            --column;
        } else {
            if (row == 0) return false;
            --row;
            column = last;
        }
    }
    setCurrentCell(row, column);
    return true;
}

void TWorksheetGrid::LeaveGrid(bool forward)
{
    QWidget* top = window();
    QWidget* w = this;
    for (int guard = 0; guard < 1000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == this) return;
        if (Owns(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(top)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool TWorksheetGrid::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && keyPressHook && keyPressHook(static_cast<QKeyEvent*>(event), this))
        return true;
    return QTableWidget::event(event);
}

void TWorksheetGrid::keyReleaseEvent(QKeyEvent* event)
{
    if (keyReleaseHook) keyReleaseHook(event);
    QTableWidget::keyReleaseEvent(event);
}

void TWorksheetGrid::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    if (!currentIndex().isValid() && rowCount() > 0) setCurrentCell(0, 1);
    OpenEditor();
}

bool TWorksheetGrid::focusNextPrevChild(bool next)
{
    if (!StepCell(next)) LeaveGrid(next);
    return true;
}

void TWorksheetGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableWidget::currentChanged(current, previous);
    OpenEditor();
}

void TWorksheetGrid::ReopenEditor()
{
    const QModelIndex cell = currentIndex();
    if (editor_ || !resumeCell_.isValid() || resumeCell_ != cell || QApplication::activeModalWidget()) return;
    resumeCell_ = QPersistentModelIndex();
    if (!edit(cell, QAbstractItemView::AllEditTriggers, nullptr) || !editor_) return;
    editor_->setFocus(Qt::OtherFocusReason);
    editor_->setCursorPosition(resumeCursor_);
}

// The editor is shown on the current cell whenever the grid has the focus,
// with the cell's text selected so the next key replaces it; after a message
// box, with the cursor where it was.
void TWorksheetGrid::OpenEditor()
{
    if (!Owns(QApplication::focusWidget())) return;
    const QModelIndex index = currentIndex();
    if (!index.isValid() || index.column() < 1 || state() == QAbstractItemView::EditingState) return;
    // The window may get the focus back before the key that raised the box
    // has ended: the editor is reopened here then.
    if (resumeCell_.isValid() && resumeCell_ == index) return ReopenEditor();
    resumeCell_ = QPersistentModelIndex();
    if (edit(index, QAbstractItemView::AllEditTriggers, nullptr) && editor_) editor_->selectAll();
}
