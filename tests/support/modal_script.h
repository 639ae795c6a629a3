// Drives a modal window from a second thread: the test's own thread sits in
// the modal loop (DoModal, RunModal) while the script clicks and types
// through messages, as a user would.
#pragma once

#include <functional>
#include <thread>
#include <utility>

class ModalScript {
public:
    explicit ModalScript(std::function<void()> script) : m_thread(std::move(script)) {}
    ~ModalScript() { m_thread.join(); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    std::thread m_thread;
};
