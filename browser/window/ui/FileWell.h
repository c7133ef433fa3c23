#pragma once
// FileWell: a small framed square that holds one file. Shows the file's icon, accepts one
// file dropped onto it, lets the user drag the file out (as a file URL), and sends an action
// on a click and another on a double click.
#include <QDataStream>
#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

class QMimeData;

class FileWell : public QWidget {
    Q_OBJECT
public:
    enum Border { NoBorder = 0, WhiteBezel = 1, Groove = 2, ButtonBorder = 3 };
    static constexpr int version = 1;

    explicit FileWell(QWidget *parent = nullptr);

    void setFile(const QString &path);
    QString file() const { return filename; }
    void setImage(const QIcon &icon);
    QIcon image() const { return image_; }

    // The receiver of the actions: plain callables, set by the controller.
    void setAction(std::function<void(FileWell *)> action) { action_ = std::move(action); }
    void setDoubleAction(std::function<void(FileWell *)> action) { doubleAction_ = std::move(action); }
    void setBorder(int border);
    int border() const { return border_; }

    // The one path a drop would give: only from another source, only file URLs, exactly one.
    QString validateDragFile(const QMimeData *mime, QObject *source) const;

    // Archiving: only the border is kept, as one unsigned 32-bit value.
    void encodeWithCoder(QDataStream &out) const;
    void initWithCoder(QDataStream &in);

    // The drag image is built on the first drag after the icon changed.
    bool hasDragImage() const { return !dragImage.isNull(); }
    QPixmap dragDraw() const;

signals:
    void fileChanged(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void startDrag();
    void sendAction(bool doubleClick);

    QString filename;
    QIcon image_;
    QPixmap dragImage;
    std::function<void(FileWell *)> action_;
    std::function<void(FileWell *)> doubleAction_;
    int border_ = WhiteBezel;
    QRect orgRect;
    bool mouseIsDown_ = false;
    QPoint downPos_;
    int clickCount_ = 0;
};
