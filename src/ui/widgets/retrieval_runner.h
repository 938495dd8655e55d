#pragma once
// The desktop's side of the retrieval worker: at most one pass at a time,
// each with an id of its own and a queue of its own that a timer drains on
// the user-interface thread. A pass given up (cancelled, or the window
// closing) takes its queue with it, so a late message from an old pass can
// never act on a newer one; and giving up never waits for the network: a
// worker that has not ended is cancelled (its socket shut down at once) and
// joined on a thread of its own.
#include <QObject>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include "news/retrieval_job.h"
#include "news/worker_messages.h"

class QTimer;

namespace fhr {

class TNNTPThread;

class RetrievalRunner : public QObject {
  Q_OBJECT
 public:
  // Receives every message of the current pass, in order, with the pass id.
  using Handler = std::function<void(int pass, WorkerMessage& message)>;

  // How long the destructor waits for given-up workers before leaving them
  // to end on their own.
  static constexpr std::chrono::milliseconds kReleaseBound{2000};

  explicit RetrievalRunner(Handler handler, QObject* parent = nullptr);
  // Gives up the current pass and waits at most kReleaseBound for the
  // workers given up so far.
  ~RetrievalRunner() override;

  // Starts a pass with `job`; its id (above 0), or 0 when a pass runs.
  int Start(RetrievalJob job);
  // A pass exists (from Start until Release).
  bool Running() const { return pass_ != nullptr; }
  // The current pass's id, 0 when none.
  int CurrentPass() const;
  // Asks the current pass to stop; its last messages still arrive.
  void Cancel();
  // Destroys the worker of pass `pass` when it is the current one; an old
  // id does nothing. Never blocks for the network.
  void Release(int pass);

 private:
  struct Pass;
  void Drain();

  Handler handler_;
  QTimer* drain_;
  std::unique_ptr<Pass> pass_;
  int lastId_ = 0;
  bool draining_ = false;
  std::vector<std::future<void>> released_;
};

}  // namespace fhr
