#include "FileWell.h"

#include <QApplication>
#include <QDrag>
#include <qdrawutil.h>
#include <QDragEnterEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QUrl>

namespace {
// The icon for a file from the desktop's icon theme, by its content type.
QIcon iconForFile(const QString &path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileInfo(path));
    return icon;
}
}  // namespace

FileWell::FileWell(QWidget *parent) : QWidget(parent) {
    setAcceptDrops(true);
    setMinimumSize(48, 48);
    setAttribute(Qt::WA_AcceptTouchEvents, false);
    setToolTip(tr("Current file: drag it out, or drop a file here"));
}

void FileWell::setFile(const QString &path) {
    filename = path;
    setImage(iconForFile(path));
    setToolTip(path);
    repaint();
    emit fileChanged(path);
}

void FileWell::setImage(const QIcon &icon) {
    image_ = icon;
    dragImage = QPixmap();
    update();
}

void FileWell::setBorder(int border) {
    border_ = border;
    update();
}

void FileWell::paintEvent(QPaintEvent *) {
    // The well draws in its current bounds, so a resized well never draws outside them.
    orgRect = rect();
    QPainter p(this);
    p.fillRect(orgRect, Qt::white);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = orgRect;
    frame.lineWidth = 2;
    switch (border_) {
    case WhiteBezel:
        frame.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);
        break;
    case Groove:
        qDrawShadeRect(&p, orgRect, palette(), true, 1, 1);
        break;
    case ButtonBorder:
        frame.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &frame, &p, this);
        break;
    default:
        break;
    }
    if (!image_.isNull()) {
        const QRect inner = orgRect.adjusted(4, 4, -4, -4);
        const QPixmap pm = image_.pixmap(inner.size());
        const QSize sz = pm.deviceIndependentSize().toSize();
        const QPoint at(inner.x() + (inner.width() - sz.width()) / 2,
                        inner.y() + (inner.height() - sz.height()) / 2);
        p.drawPixmap(at, pm);
    }
}

void FileWell::mousePressEvent(QMouseEvent *event) {
    mouseIsDown_ = true;
    downPos_ = event->position().toPoint();
    clickCount_ = 1;
}

void FileWell::mouseDoubleClickEvent(QMouseEvent *event) {
    mouseIsDown_ = true;
    downPos_ = event->position().toPoint();
    clickCount_ = 2;
}

void FileWell::mouseMoveEvent(QMouseEvent *event) {
    if (!mouseIsDown_ || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - downPos_).manhattanLength() < QApplication::startDragDistance())
        return;
    mouseIsDown_ = false;
    if (!filename.isEmpty() && !image_.isNull())
        startDrag();
}

void FileWell::mouseReleaseEvent(QMouseEvent *) {
    if (!mouseIsDown_)
        return;  // the press turned into a drag
    mouseIsDown_ = false;
    sendAction(clickCount_ > 1);
}

void FileWell::sendAction(bool doubleClick) {
    if (doubleClick) {
        if (doubleAction_)
            doubleAction_(this);
    } else if (action_) {
        action_(this);
    }
}

QPixmap FileWell::dragDraw() const {
    const QSize size = orgRect.isValid() ? orgRect.adjusted(2, 2, -2, -2).size() : QSize(44, 44);
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setOpacity(0.5);
    p.drawPixmap(0, 0, image_.pixmap(size));
    return pm;
}

void FileWell::startDrag() {
    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(filename)});
    if (dragImage.isNull())
        dragImage = dragDraw();
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(dragImage);
    drag->setHotSpot(QPoint(10, 10));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

QString FileWell::validateDragFile(const QMimeData *mime, QObject *source) const {
    if (!mime || source == this || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    return urls.first().toLocalFile();
}

void FileWell::dragEnterEvent(QDragEnterEvent *event) {
    if (!validateDragFile(event->mimeData(), event->source()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileWell::dragMoveEvent(QDragMoveEvent *event) {
    if (!validateDragFile(event->mimeData(), event->source()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileWell::dropEvent(QDropEvent *event) {
    const QString path = validateDragFile(event->mimeData(), event->source());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setFile(path);
    sendAction(false);
}

void FileWell::encodeWithCoder(QDataStream &out) const { out << quint32(border_); }

void FileWell::initWithCoder(QDataStream &in) {
    quint32 b = WhiteBezel;
    in >> b;
    border_ = int(b);
}
