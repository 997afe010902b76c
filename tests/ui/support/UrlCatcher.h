#pragma once

// Takes the URLs the desktop would have opened (a QDesktopServices URL handler).

#include <QList>
#include <QObject>
#include <QUrl>

namespace tavrin::test {

class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

}  // namespace tavrin::test
