#include "ui/widgets/retrieval_runner.h"

#include <QTimer>

#include <thread>

#include "news/nntp_thread.h"

namespace fhr {

struct RetrievalRunner::Pass {
  int id = 0;
  std::shared_ptr<WorkerQueue> queue = std::make_shared<WorkerQueue>();
  std::unique_ptr<TNNTPThread> worker;
  ~Pass() { worker.reset(); }  // joins before the queue it posts to goes
};

RetrievalRunner::RetrievalRunner(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), drain_(new QTimer(this)) {
  drain_->setInterval(10);
  connect(drain_, &QTimer::timeout, this, &RetrievalRunner::Drain);
}

RetrievalRunner::~RetrievalRunner() {
  Release(CurrentPass());
  const auto deadline = std::chrono::steady_clock::now() + kReleaseBound;
  for (std::future<void>& done : released_) done.wait_until(deadline);
}

int RetrievalRunner::CurrentPass() const { return pass_ ? pass_->id : 0; }

int RetrievalRunner::Start(RetrievalJob job) {
  if (pass_) return 0;
  auto pass = std::make_unique<Pass>();
  pass->id = ++lastId_;
  pass->worker = std::make_unique<TNNTPThread>(std::move(job), pass->queue.get());
  pass->worker->Start();
  pass_ = std::move(pass);
  drain_->start();
  return pass_->id;
}

void RetrievalRunner::Cancel() {
  if (pass_) pass_->worker->Cancel();
}

void RetrievalRunner::Release(int pass) {
  if (!pass_ || pass_->id != pass) return;
  std::unique_ptr<Pass> given_up = std::move(pass_);
  drain_->stop();
  if (given_up->worker->ended()) return;  // its thread is past its last message: the join is at once
  given_up->worker->Cancel();
  auto done = std::make_shared<std::promise<void>>();
  released_.push_back(done->get_future());
  std::thread([given_up = std::move(given_up), done]() mutable {
    given_up.reset();
    done->set_value();
  }).detach();
}

void RetrievalRunner::Drain() {
  // A reaction may open a dialog whose event loop runs this timer again:
  // the messages then wait, in order, until the reaction is over.
  if (draining_) return;
  draining_ = true;
  while (pass_) {
    const int id = pass_->id;
    std::shared_ptr<WorkerQueue> queue = pass_->queue;
    std::optional<WorkerMessage> message = queue->TryTake();
    if (!message) break;
    handler_(id, *message);
  }
  draining_ = false;
}

}  // namespace fhr
