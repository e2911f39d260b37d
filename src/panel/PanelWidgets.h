#pragma once

#include <QString>

class QLabel;
class QUrl;
class QWidget;

namespace corvane {

class PanelButton;
class PanelDropDown;
class PanelTextBox;

// The plain widgets of a panel, set up the way panel controls behave: captions shown
// literally, text boxes without scroll bars, nothing that steals the operator's focus.
PanelTextBox* CreateTextBox(QWidget* parent);
PanelButton* CreateButton(QWidget* parent);
PanelDropDown* CreateDropDown(QWidget* parent);
QLabel* CreateLabel(QWidget* parent);

// A web view: the browser engine's view where it is installed, else a widget that shows the
// address it was asked to open.
QWidget* CreateWebView(QWidget* parent);
QUrl WebAddressUrl(const QString& address);
void OpenWebAddress(QWidget* webView, const QString& address);
void StopWebView(QWidget* webView);
// Draws the page at this zoom (the panel's scale), now and after every page it loads.
void ZoomWebView(QWidget* webView, double factor);

} // namespace corvane
