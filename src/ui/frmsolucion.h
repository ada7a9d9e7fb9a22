#pragma once
// The solution window: a small numbered picture of the board and the list of the 31 moves
// that win the game from the start position.  Its content is fixed; opening it writes the
// numbers "1".."32" into the squares and centres it on the screen.  It holds no game state.

#include "lifecycle.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace pindel {

// One control of the window's design.  Geometry is in twips; an invalid colour means the
// platform's default colour for that kind of control.
struct SolucionControl {
    enum class Kind { Button, Label, List };
    enum class Font { Window, Small };   // the window's 9.75 pt bold, or 8.25 pt regular

    QString name;
    Kind kind;
    int left, top, width, height;
    QString text;          // caption; for the list, empty (see items)
    QStringList items;     // list contents, in order
    QColor foreground;
    QColor background;
    bool opaque;           // labels: paints its background (false: the window shows through)
    Font font;
    Qt::Alignment alignment;
};

class FrmSolucion : public QWidget, public ManagedWindow {
    Q_OBJECT
public:
    static constexpr int kInnerWidthTwips = 6180;
    static constexpr int kInnerHeightTwips = 4410;
    static constexpr int kNumberedSquares = 32;

    explicit FrmSolucion(QWidget *parent = nullptr);

    // The design, one row per control, in creation (and tab) order.
    static const std::vector<SolucionControl> &design();
    static QColor backgroundColour() { return QColor(255, 224, 192); }

    QWidget *widget() override { return this; }
    // Every control back to the design: captions "1", the 31 moves, nothing selected, the
    // list scrolled to its top, the focus on OK.
    void resetToDesign() override;
    // Centres the window from its inner size, then numbers the squares "1".."32".
    void load() override;

protected:
    // The close box: the close goes through the lifecycle, which runs nothing else for
    // this window.
    void closeEvent(QCloseEvent *event) override;
    // The frame drawn is known once the native window exists; where it is not the frame Qt
    // places (Windows), its corner goes where the load handler put the frame, before the
    // window shows.
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void applyDesign(const SolucionControl &control, QWidget *widget);

    std::vector<QWidget *> m_controls;   // parallel to design()
    QPushButton *m_ok = nullptr;
    QListWidget *m_list = nullptr;
    std::vector<QLabel *> m_squares;      // Label1_0 .. Label1_31
    QPoint m_frameCorner;                 // where the load handler put the frame
};

} // namespace pindel
