#include "panel/PanelWidgets.h"

#include "panel/PanelButton.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelLabel.h"
#include "panel/PanelTextBox.h"

#include <QFileInfo>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#ifdef CORVANE_HAVE_WEBENGINE
#include "support/WebRendering.h"

#include <QWebEngineView>
#endif

namespace corvane {

QUrl WebAddressUrl(const QString& address) {
    // A panel may name a page beside the program, relative to its working folder.
    if (QFileInfo(address).isFile()) {
        return QUrl::fromLocalFile(QFileInfo(address).absoluteFilePath());
    }
    return QUrl::fromUserInput(address);
}

PanelTextBox* CreateTextBox(QWidget* parent) {
    return new PanelTextBox(parent);
}

PanelButton* CreateButton(QWidget* parent) {
    auto* button = new PanelButton(parent);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

PanelDropDown* CreateDropDown(QWidget* parent) {
    return new PanelDropDown(parent);
}

QLabel* CreateLabel(QWidget* parent) {
    auto* label = new PanelLabel(parent);
    // Plain text: an "&" is an ampersand and markup-looking text is shown as written.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

#ifdef CORVANE_HAVE_WEBENGINE

QWidget* CreateWebView(QWidget* parent) {
    PrepareWebRendering(WebRendering::Automatic); // unless chosen already
    return new QWebEngineView(parent);
}

void OpenWebAddress(QWidget* webView, const QString& address) {
    if (auto* view = qobject_cast<QWebEngineView*>(webView)) {
        view->setUrl(WebAddressUrl(address));
    }
}

void StopWebView(QWidget* webView) {
    if (auto* view = qobject_cast<QWebEngineView*>(webView)) {
        view->stop();
    }
}

void ZoomWebView(QWidget* webView, double factor) {
    auto* view = qobject_cast<QWebEngineView*>(webView);
    if (view == nullptr || view->zoomFactor() == factor) {
        return;
    }
    // The engine may go back to its own zoom when it loads a page of another site.
    if (!view->property("panelZoom").isValid()) {
        QObject::connect(view, &QWebEngineView::loadFinished, view, [view] {
            const double wanted = view->property("panelZoom").toDouble();
            if (wanted > 0 && view->zoomFactor() != wanted) {
                view->setZoomFactor(wanted);
            }
        });
    }
    view->setProperty("panelZoom", factor);
    view->setZoomFactor(factor);
}

#else

namespace {
constexpr char kAddressLabel[] = "webAddress";
}

QWidget* CreateWebView(QWidget* parent) {
    auto* view = new QWidget(parent);
    auto* layout = new QVBoxLayout(view);
    auto* address = new QLabel(view);
    address->setObjectName(QLatin1String(kAddressLabel));
    address->setTextFormat(Qt::PlainText);
    address->setAlignment(Qt::AlignCenter);
    address->setWordWrap(true);
    layout->addWidget(address);
    view->setAutoFillBackground(true);
    return view;
}

void OpenWebAddress(QWidget* webView, const QString& address) {
    if (auto* label = webView->findChild<QLabel*>(QLatin1String(kAddressLabel))) {
        label->setText(address);
    }
}

void StopWebView(QWidget*) {}

void ZoomWebView(QWidget*, double) {} // its text follows the panel's font

#endif

} // namespace corvane
