#include "platform/qt/BackgroundJob.hpp"

#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>

namespace qelt {

struct BackgroundJob::Run {
  std::uint64_t Number = 0;
  std::atomic<bool> Cancelled{false};
  std::atomic<int> Permille{0};
  std::thread Worker;
  void Stop() {
    Cancelled = true;
    if (Worker.joinable()) Worker.join();
  }
};

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {
  ticker_.setInterval(100);
  connect(&ticker_, &QTimer::timeout, this, [this] { emit Progress(Permille()); });
}

BackgroundJob::~BackgroundJob() { Cancel(); }

void BackgroundJob::Start(Work work) {
  Cancel();
  running_ = std::make_unique<Run>();
  Run* run = running_.get();
  run->Number = ++runs_;
  run->Worker = std::thread([this, run, work = std::move(work)] {
    work([run](int permille) {
      run->Permille = permille;
      return !run->Cancelled.load();
    });
    // The number tells a cancelled run's late word from the one under way.
    QMetaObject::invokeMethod(
        this, [this, number = run->Number] { Finish(number); }, Qt::QueuedConnection);
  });
  ticker_.start();
}

void BackgroundJob::Cancel() {
  ticker_.stop();
  if (running_) running_->Stop();
  running_.reset();
}

int BackgroundJob::Permille() const { return running_ ? running_->Permille.load() : 0; }

void BackgroundJob::Finish(std::uint64_t number) {
  if (!running_ || running_->Number != number) return;
  ticker_.stop();
  running_->Worker.join();
  running_.reset();
  emit Done();
}

}  // namespace qelt
