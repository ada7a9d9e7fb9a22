#pragma once
// Picture controls of the board window.
//
// Imagen shows one of the board's two pictures (the empty-hole ring or the Cd-rom),
// rendered from vector art so it stays crisp at any scale.  The picture is shared, not
// copied: which renderer a control shows is its "picture handle", and the board compares
// handles to tell an empty hole from a pegged one.
//
// HolePicture is a hole of the board: an Imagen with a 2-pixel sunken border around its
// 32 x 32 picture, that can be dragged and accepts the drop of another hole.

#include <QPoint>
#include <QWidget>

class QSvgRenderer;

namespace pindel {

class Imagen : public QWidget {
    Q_OBJECT
public:
    explicit Imagen(QWidget *parent = nullptr);

    const QSvgRenderer *picture() const { return m_picture; }
    void setPicture(const QSvgRenderer *picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QSvgRenderer *m_picture = nullptr;
};

class HolePicture : public Imagen {
    Q_OBJECT
public:
    // The MIME type of a dragged hole.  The payload names this running program and the
    // source hole's index (see payload()); a hole takes only drags whose payload names this
    // program, so a drag from another running copy of the game changes nothing here.
    static const char *const kMimeType;
    // The payload of a drag of hole `index` started by this program.
    static QByteArray payload(int index);

    HolePicture(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }

signals:
    // A hole was dropped on this one.  Emitted from the event loop after the drag has
    // finished, so the handler may open dialogs and restart the board safely.
    void dropped(int targetIndex, int sourceIndex);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void startDrag();

    int m_index;
    QPoint m_pressPos;
    bool m_pressed = false;
};

} // namespace pindel
