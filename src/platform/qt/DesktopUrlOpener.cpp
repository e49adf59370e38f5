#include "platform/qt/DesktopUrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace vantorel {

bool openWithDesktop(const Url& url) {
    const QUrl qurl = QUrl::fromEncoded(QByteArray::fromStdString(url.string()), QUrl::StrictMode);
    return qurl.isValid() && QDesktopServices::openUrl(qurl);
}

}  // namespace vantorel
