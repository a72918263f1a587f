#include "BaseCommon/framework/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {

int DefaultHandler(const char* text, UINT, UINT) {
    std::fprintf(stderr, "rvnBaseCommon: %s\n", text ? text : "");
    return IDOK;
}

MessageBoxHandler& CurrentHandler() {
    static MessageBoxHandler handler;  // empty means the default
    return handler;
}

}  // namespace

int AfxMessageBox(const char* text, UINT nType, UINT nIDHelp) {
    const MessageBoxHandler& h = CurrentHandler();
    return h ? h(text ? text : "", nType, nIDHelp) : DefaultHandler(text, nType, nIDHelp);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler h) {
    MessageBoxHandler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(h);
    return previous;
}
