// The list box on Qt.
#include "platform/qt/QtListBox.h"

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFont.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <string>

namespace {

constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
// Space between the left edge and an item's text.
constexpr int kTextIndent = 2;

// Items as the platform list box draws them: the text on one line from the left, nothing expanded or
// prefixed, in the list's font and colours.
class ItemDelegate : public QStyledItemDelegate {
public:
    explicit ItemDelegate(QtListBox& list) : QStyledItemDelegate(&list), FList(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        int width = FList.Params().ColumnWidth > 0 ? FList.Params().ColumnWidth : option.rect.width();
        return QSize(width, FList.ItemHeight());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        bool selected = option.state & QStyle::State_Selected;
        const TPlatform* platform = TPlatform::Current();
        auto sys = [platform](int i) { return platform ? platform->GetSysColor(i) : SysColorOf(i); };
        QRect r = option.rect;
        painter->save();
        QtCanvas canvas(painter);
        TRect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        canvas.FillRect(rect, selected ? sys(COLOR_HIGHLIGHT) : FList.BackgroundColor());
        canvas.SelectFont(FList.ItemFont());
        canvas.SetTextColor(selected ? sys(COLOR_HIGHLIGHTTEXT) : FList.TextColor());
        TRect text = rect;
        text.Left += kTextIndent;
        std::string item = index.data().toString().toStdString();
        if (int stop = FList.TabStopWidth(); stop > 0) {
            // Each piece after a tab starts at the next tab stop.
            size_t from = 0;
            int x = text.Left;
            for (;;) {
                size_t tab = item.find('\t', from);
                std::string piece =
                    item.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
                TRect r{x, text.Top, text.Right, text.Bottom};
                canvas.DrawText(piece, r, DT_SINGLELINE | DT_NOPREFIX);
                if (tab == std::string::npos) break;
                int end = x + canvas.TextExtent(piece).cx - text.Left;
                x = text.Left + (end / stop + 1) * stop;
                from = tab + 1;
            }
        } else {
            canvas.DrawText(item, text, DT_SINGLELINE | DT_NOPREFIX);
        }
        if ((option.state & QStyle::State_HasFocus) && FList.hasFocus()) {
            QPen pen(QtColorOf(selected ? sys(COLOR_HIGHLIGHTTEXT) : FList.TextColor()), 1, Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    QtListBox& FList;
};

} // namespace

QtListBox::QtListBox(QWidget* parent, IWindowEvents& events, IListBoxEvents& listEvents,
                     const TListBoxParams& params)
    : QtNativeWindow(parent, events), FListEvents(listEvents), FParams(params) {
    setItemDelegate(new ItemDelegate(*this));
    setSelectionMode(!params.MultiSelect     ? QAbstractItemView::SingleSelection
                     : params.ExtendedSelect ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::MultiSelection);
    if (params.ColumnWidth > 0) {
        // Columns filled top to bottom, the list scrolled sideways.
        setFlow(QListView::TopToBottom);
        setWrapping(true);
        setResizeMode(QListView::Adjust);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameStyle(params.ClientEdge ? QFrame::WinPanel | QFrame::Sunken
                  : params.Border   ? QFrame::Box | QFrame::Plain
                                    : QFrame::NoFrame);
    SetColors(FTextColor, FBackground);
}

int QtListBox::AddString(const std::string& s) {
    QString text = QString::fromStdString(s);
    if (!FParams.Sorted) {
        addItem(text);
        return count() - 1;
    }
    // After every item that sorts before it or equal to it, ignoring case.
    int at = count();
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().compare(text, Qt::CaseInsensitive) > 0) {
            at = i;
            break;
        }
    insertItem(at, text);
    return at;
}

int QtListBox::InsertString(int index, const std::string& s) {
    if (index == -1) return AddString(s);
    if (index < 0 || index > count()) return -1;
    insertItem(index, QString::fromStdString(s));
    return index;
}

void QtListBox::DeleteString(int index) {
    if (index < 0 || index >= count()) return;
    // The selected item going leaves none selected; the view would select its neighbour.
    bool selected = index == ItemIndex();
    delete takeItem(index);
    if (selected) clearSelection();
}

void QtListBox::ResetContent() {
    clear();
}

std::string QtListBox::GetString(int index) const {
    QListWidgetItem* i = item(index);
    return i ? i->text().toStdString() : std::string();
}

int QtListBox::FindString(const std::string& prefix) const {
    QString key = QString::fromStdString(prefix);
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().startsWith(key, Qt::CaseInsensitive)) return i;
    return -1;
}

int QtListBox::ItemIndex() const {
    // With several selected, the item with the focus rectangle.
    if (FParams.MultiSelect) return currentRow();
    QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void QtListBox::SetItemIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index));
}

int QtListBox::TopIndex() const {
    QListWidgetItem* top = itemAt(0, 0);
    return top ? row(top) : verticalScrollBar()->value();
}

void QtListBox::SetTopIndex(int index) {
    if (QListWidgetItem* i = item(index)) scrollToItem(i, QAbstractItemView::PositionAtTop);
}

int QtListBox::ItemHeight() const {
    if (FParams.ItemHeight > 0) return FParams.ItemHeight;
    return QFontMetrics(FFont ? FFont->Font() : font()).height();
}

int QtListBox::TabStopWidth() const {
    if (FParams.TabWidth <= 0) return 0;
    // Dialog units: a quarter of the font's average character width.
    return std::max(1,
                    FParams.TabWidth * QFontMetrics(FFont ? FFont->Font() : font()).averageCharWidth() / 4);
}

void QtListBox::SetColumnWidth(int width) {
    if (FParams.ColumnWidth == width) return;
    FParams.ColumnWidth = width;
    doItemsLayout();
}

void QtListBox::SetFont(const IPlatformFont* font) {
    FFont = dynamic_cast<const QtFont*>(font);
    if (FFont) setFont(FFont->Font());
    // Every item takes the new height.
    doItemsLayout();
}

void QtListBox::SetColors(uint32_t text, uint32_t background) {
    FTextColor = text;
    FBackground = background;
    QPalette p = palette();
    p.setColor(QPalette::Base, QtColorOf(background));
    p.setColor(QPalette::Window, QtColorOf(background));
    p.setColor(QPalette::Text, QtColorOf(text));
    setPalette(p);
    viewport()->update();
}

void QtListBox::SetRedraw(bool on) {
    setUpdatesEnabled(on);
    if (on) viewport()->update();
}

bool QtListBox::event(QEvent* e) {
    if (KeyToSystem(e, false)) return true;
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        char32_t ch = 0;
        if (key->key() == Qt::Key_Backspace)
            ch = 8;
        else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            ch = 13;
        else if (key->key() == Qt::Key_Escape)
            ch = 27;
        else if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !key->text().isEmpty())
            ch = key->text().toUcs4().value(0);
        bool used = false;
        if (ch == 8 || ch == 13 || ch == 27 || (ch >= 0x20 && ch != 0x7F))
            GuardedCallback([&] { used = FListEvents.ListBoxChar(ch); });
        if (used) return true;
        // The list box keeps every key it is sent; none goes on to the windows around it.
        QListWidget::event(e);
        e->accept();
        return true;
    }
    return QListWidget::event(e);
}

// Left and Right move the selection like Up and Down: the list has one column.
void QtListBox::keyPressEvent(QKeyEvent* e) {
    int key = e->key() == Qt::Key_Left ? Qt::Key_Up : e->key() == Qt::Key_Right ? Qt::Key_Down : e->key();
    if (key != e->key()) {
        QKeyEvent moved(e->type(), key, e->modifiers(), e->text());
        QListWidget::keyPressEvent(&moved);
        e->setAccepted(moved.isAccepted());
        return;
    }
    QListWidget::keyPressEvent(e);
}
