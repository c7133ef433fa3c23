#include "FileWell.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QUrl>

namespace {
struct Counts {
    int action = 0, doubleAction = 0;
};

void wire(FileWell &well, Counts &c) {
    well.setAction([&c](FileWell *) { ++c.action; });
    well.setDoubleAction([&c](FileWell *) { ++c.doubleAction; });
}

void mouse(FileWell &well, QEvent::Type type) {
    QMouseEvent e(type, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&well, &e);
}

QMimeData *urls(const QStringList &paths) {
    auto *mime = new QMimeData;
    QList<QUrl> list;
    for (const QString &p : paths)
        list.append(QUrl::fromLocalFile(p));
    mime->setUrls(list);
    return mime;
}
}  // namespace

TEST(FileWell, DropOfOneFileIsTakenAndSendsTheActionOnce) {
    QTemporaryDir dir;
    const QString a = dir.path() + "/Kick.aif", b = dir.path() + "/Snare.wav";
    ASSERT_TRUE(writeTone(a, SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    ASSERT_TRUE(writeTone(b, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    FileWell well;
    Counts c;
    wire(well, c);

    std::unique_ptr<QMimeData> two(urls({a, b}));
    EXPECT_TRUE(well.validateDragFile(two.get(), nullptr).isEmpty());
    std::unique_ptr<QMimeData> notFile(new QMimeData);
    notFile->setText("hello");
    EXPECT_TRUE(well.validateDragFile(notFile.get(), nullptr).isEmpty());
    std::unique_ptr<QMimeData> web(new QMimeData);
    web->setUrls({QUrl("https://example.org/a.aif")});
    EXPECT_TRUE(well.validateDragFile(web.get(), nullptr).isEmpty());
    std::unique_ptr<QMimeData> one(urls({a}));
    EXPECT_TRUE(well.validateDragFile(one.get(), &well).isEmpty()) << "its own file dragged onto itself";

    QMimeData *mime = urls({a});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject &>(well).event(&drop);  // straight to the widget, as a drag manager does
    EXPECT_EQ(well.file(), a);
    EXPECT_FALSE(well.image().isNull());
    EXPECT_EQ(c.action, 1);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);

    QMimeData *refused = urls({a, b});
    QDropEvent drop2(QPointF(5, 5), Qt::CopyAction, refused, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject &>(well).event(&drop2);
    EXPECT_EQ(well.file(), a);
    EXPECT_EQ(c.action, 1);
    delete mime;
    delete refused;
}

TEST(FileWell, DoubleClickSendsActionThenDoubleAction) {
    FileWell well;
    Counts c;
    wire(well, c);
    mouse(well, QEvent::MouseButtonPress);
    mouse(well, QEvent::MouseButtonRelease);
    EXPECT_EQ(c.action, 1);
    EXPECT_EQ(c.doubleAction, 0);
    mouse(well, QEvent::MouseButtonDblClick);
    mouse(well, QEvent::MouseButtonRelease);
    EXPECT_EQ(c.action, 1);
    EXPECT_EQ(c.doubleAction, 1);
}

TEST(FileWell, BorderDefaultsToBezelAndIsTheOnlyArchivedField) {
    FileWell made;
    EXPECT_EQ(made.border(), FileWell::WhiteBezel);
    made.setBorder(FileWell::Groove);
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        made.encodeWithCoder(out);
    }
    EXPECT_EQ(bytes.size(), 4);
    FileWell restored;
    QDataStream in(bytes);
    restored.initWithCoder(in);
    EXPECT_EQ(restored.border(), FileWell::Groove);
}

TEST(FileWell, NewIconDropsTheOldDragImage) {
    QTemporaryDir dir;
    const QString a = dir.path() + "/a.aif";
    ASSERT_TRUE(writeTone(a, SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    FileWell well;
    well.setFile(a);
    const QPixmap first = well.dragDraw();
    EXPECT_FALSE(first.isNull());
    well.setImage(QIcon());
    EXPECT_FALSE(well.hasDragImage());
}
