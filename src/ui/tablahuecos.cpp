#include "tablahuecos.h"

#include "board.h"
#include "campoteclado.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <array>

namespace pindel {

namespace {

// The holes in reading order, top row first: the order of the table's children.
const std::array<int, kHoleCount> &huecosEnOrden()
{
    static const std::array<int, kHoleCount> orden = [] {
        std::array<int, kHoleCount> o{};
        int n = 0;
        for (int fila = 0; fila < kGridSize; ++fila)
            for (int columna = 0; columna < kGridSize; ++columna)
                if (isHoleCell(fila, columna))
                    o[n++] = holeAtCell(fila, columna);
        return o;
    }();
    return orden;
}

int posicionEnOrden(int index)
{
    const auto &orden = huecosEnOrden();
    for (int i = 0; i < kHoleCount; ++i)
        if (orden[i] == index)
            return i;
    return -1;
}

// One hole as a table cell.  It has no object of its own: it reads the field it belongs to.
class CeldaHueco : public QAccessibleInterface,
                   public QAccessibleTableCellInterface,
                   public QAccessibleActionInterface {
public:
    CeldaHueco(CampoTeclado *campo, int index) : m_campo(campo), m_index(index) {}

    bool isValid() const override { return !m_campo.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_campo ? m_campo->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_campo); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_campo)
            return QString();
        if (t == QAccessible::Name)
            return m_campo->nombreHueco(m_index);
        if (t == QAccessible::Description && m_campo->cursor() == m_index)
            return m_campo->aviso();
        return QString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!m_campo)
            return QRect();
        const QRect r = CampoTeclado::rectanguloHueco(m_index);
        return QRect(m_campo->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_campo)
            return s;
        s.focusable = true;
        s.selectable = true;
        s.invisible = !m_campo->isVisible();
        const bool bajoElCursor = m_campo->cursor() == m_index;
        s.selected = bajoElCursor;
        s.focused = bajoElCursor && m_campo->hasFocus();
        s.active = s.focused;
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    // QAccessibleActionInterface.  A reader's table navigation moves its own cursor from cell
    // to cell and asks for the focus there (UI Automation's SetFocus): the game's cursor
    // follows, so the next Space acts on the hole the player hears.  Pressing a cell is Space
    // on its hole.  No key bindings: the field's keys are in its description.
    QStringList actionNames() const override { return {setFocusAction(), pressAction()}; }
    void doAction(const QString &name) override
    {
        if (!m_campo)
            return;
        if (name == setFocusAction())
            m_campo->irA(m_index);
        else if (name == pressAction())
            m_campo->pulsarEn(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    // QAccessibleTableCellInterface, rows and columns counted from 0.
    bool isSelected() const override { return m_campo && m_campo->cursor() == m_index; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return holes()[m_index].column; }
    int rowIndex() const override { return holes()[m_index].row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<CampoTeclado> m_campo;
    int m_index;
};

// The field as a 7 x 7 table of holes.  Its name and description are the field's own
// accessible name and description.  The cells are made on first request, registered with
// Qt's accessibility cache, and dropped with the table.
class TablaHuecos : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TablaHuecos(CampoTeclado *campo) : QAccessibleWidget(campo, QAccessible::Table) {}
    ~TablaHuecos() override
    {
        for (QAccessible::Id id : m_celdas)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    CampoTeclado *campo() const { return static_cast<CampoTeclado *>(widget()); }

    QAccessibleInterface *celda(int index) const
    {
        if (index < 0 || index >= kHoleCount)
            return nullptr;
        if (!m_celdas[index]) {
            auto *nueva = new CeldaHueco(campo(), index);
            m_celdas[index] = QAccessible::registerAccessibleInterface(nueva);
        }
        return QAccessible::accessibleInterface(m_celdas[index]);
    }

    int childCount() const override { return kHoleCount; }
    QAccessibleInterface *child(int i) const override
    {
        return i >= 0 && i < kHoleCount ? celda(huecosEnOrden()[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || child->role() != QAccessible::Cell)
            return -1;
        for (int i = 0; i < kHoleCount; ++i)
            if (m_celdas[i] && QAccessible::accessibleInterface(m_celdas[i]) == child)
                return posicionEnOrden(i);
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return campo()->hasFocus() ? celda(campo()->cursor()) : nullptr;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint p = campo()->mapFromGlobal(QPoint(x, y));
        for (int index = 0; index < kHoleCount; ++index)
            if (CampoTeclado::rectanguloHueco(index).contains(p))
                return celda(index);
        return nullptr;
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTableInterface.  Selection follows the cursor: the one selected cell is the
    // hole under it, and nothing is selected by rows or columns.
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override { return celda(holeAtCell(row, column)); }
    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface *> selectedCells() const override { return {celda(campo()->cursor())}; }
    QString columnDescription(int column) const override { return QStringLiteral("Columna %1").arg(column + 1); }
    QString rowDescription(int row) const override { return QStringLiteral("Fila %1").arg(row + 1); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return kGridSize; }
    int rowCount() const override { return kGridSize; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

private:
    mutable std::array<QAccessible::Id, kHoleCount> m_celdas{};
};

QAccessibleInterface *fabricaTabla(const QString &className, QObject *object)
{
    if (className == QLatin1String("pindel::CampoTeclado"))
        return new TablaHuecos(static_cast<CampoTeclado *>(object));
    return nullptr;
}

} // namespace

void instalarTablaHuecos(CampoTeclado *campo)
{
    static bool instalada = false;
    if (!instalada) {
        QAccessible::installFactory(fabricaTabla);
        instalada = true;
    }
    // An interface Qt made for the widget before it was a field (while its base class was
    // being built) is dropped, so the next request gets the table.
    QAccessibleInterface *actual = QAccessible::queryAccessibleInterface(campo);
    if (actual && !dynamic_cast<TablaHuecos *>(actual))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(actual));
}

QAccessibleInterface *celdaDeHueco(CampoTeclado *campo, int index)
{
    auto *tabla = dynamic_cast<TablaHuecos *>(QAccessible::queryAccessibleInterface(campo));
    return tabla ? tabla->celda(index) : nullptr;
}

} // namespace pindel
