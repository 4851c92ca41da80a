#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace sim {

namespace {

// While no program has the port open the master reports a hang-up on every poll, so the
// simulator looks for the program's return at this interval instead of spinning.
constexpr int kAwayCheckMilliseconds = 10;

constexpr long long kBitsPerByte = 10;  // start bit, eight data bits, stop bit

ByteLog LogFor(const Options& options) {
    return options.logFile ? ByteLog(*options.logFile) : ByteLog();
}

}  // namespace

Simulator::Simulator(const Options& options, History history)
    : options_(options),
      log_(LogFor(options)),
      instrument_(std::move(history), SettingsFrom(options),
                  LineFaults(options.noiseRate, options.strayEtx, options.seed)) {
    if (log_.failed())
        throw std::runtime_error("cannot write the log " + *options.logFile);
    if (options.link)
        deviceLink_ = std::make_unique<DeviceLink>(link_.devicePath(), *options.link);
    if (::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
}

Simulator::~Simulator() {
    for (int fd : stopPipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void Simulator::Run() {
    while (!finished_) {
        std::array<pollfd, 2> fds{
            {{stopPipe_[0], POLLIN, 0}, {programAway_ ? -1 : link_.fd(), POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), PollTimeout()) < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (fds[0].revents & POLLIN)
            return;
        if (programAway_)
            CheckProgramBack();
        else if (fds[1].revents & POLLIN)
            ReadFromProgram();
        else if (fds[1].revents & (POLLHUP | POLLERR))
            OnProgramClosed();
        if (!finished_)
            finished_ = CarryOutDueActions();
    }
}

void Simulator::Stop() {
    char wake = 0;
    [[maybe_unused]] ssize_t written = ::write(stopPipe_[1], &wake, 1);
}

int Simulator::PollTimeout() const {
    int timeout = -1;
    if (!pending_.empty()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(waitUntil_ - Clock::now());
        timeout = static_cast<int>(std::max<long long>(left.count(), 0));
    }
    if (programAway_)
        timeout = timeout < 0 ? kAwayCheckMilliseconds : std::min(timeout, kAwayCheckMilliseconds);
    return timeout;
}

void Simulator::ReadFromProgram() {
    std::array<char, 256> buffer{};
    ssize_t count = ::read(link_.fd(), buffer.data(), buffer.size());
    if (count <= 0) {
        if (count == 0 || errno == EIO)
            OnProgramClosed();
        return;
    }
    std::string_view bytes(buffer.data(), static_cast<std::size_t>(count));
    log_.Bytes("rx", bytes);
    for (Action& action : instrument_.Receive(bytes))
        pending_.push_back(std::move(action));
}

void Simulator::CheckProgramBack() {
    pollfd master{link_.fd(), POLLIN, 0};
    if (::poll(&master, 1, 0) < 0 || (master.revents & POLLHUP))
        return;
    programAway_ = false;
    if (master.revents & POLLIN)
        ReadFromProgram();
}

void Simulator::OnProgramClosed() {
    if (programAway_)
        return;
    programAway_ = true;
    instrument_.LineDropped();
    pending_.clear();
    link_.Flush();
    log_.Event("closed");
    if (options_.exitAfterUpload && instrument_.uploadsStarted() > 0)
        finished_ = true;
}

bool Simulator::CarryOutDueActions() {
    while (!pending_.empty() && Clock::now() >= waitUntil_) {
        Action action = std::move(pending_.front());
        pending_.pop_front();
        switch (action.kind) {
            case Action::Kind::kSend:
                Write(action.bytes);
                break;
            case Action::Kind::kWait:
                waitUntil_ = Clock::now() + std::chrono::milliseconds(action.milliseconds);
                log_.Event("pause " + std::to_string(action.milliseconds));
                break;
            case Action::Kind::kHangUp:
                log_.Event("hangup");
                link_.Close();
                if (deviceLink_)
                    deviceLink_->Remove();
                return true;
        }
    }
    return false;
}

void Simulator::Write(std::string_view bytes) {
    if (options_.baud > 0) {
        WritePaced(bytes);
        return;
    }
    log_.Bytes("tx", bytes);
    while (!bytes.empty()) {
        ssize_t written = ::write(link_.fd(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Each byte leaves only when the previous one would have finished on a real line at this
// rate, so the program sees the gaps and the overall time of a 9600 baud instrument.
void Simulator::WritePaced(std::string_view bytes) {
    auto byteTime = std::chrono::nanoseconds(kBitsPerByte * 1'000'000'000LL / options_.baud);
    nextByteDue_ = std::max(nextByteDue_, Clock::now());
    for (char byte : bytes) {
        nextByteDue_ += byteTime;
        std::this_thread::sleep_until(nextByteDue_);
        if (::write(link_.fd(), &byte, 1) != 1)
            return;
        log_.Bytes("tx", std::string_view(&byte, 1));
    }
}

}  // namespace sim
