// Running the batch: the lines of a stream answered one by one, or in chunks
// on several threads with the answers written in input order.
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <exception>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "batch.h"

namespace orbel {

namespace {

// Answers one line: its result to out, or its rejection to err. Returns false
// for a rejected line.
bool AnswerLine(std::string_view line, unsigned long long number, std::string& out,
                std::string& err) {
  const ParsedLine parsed = ParseBatchLine(line);
  if (parsed.kind == LineKind::kSkip) return true;
  if (parsed.kind == LineKind::kError) {
    err += "line " + std::to_string(number) + ": ";
    err += parsed.error;
    err += '\n';
    return false;
  }
  AppendBatchResult(parsed.query, out);
  return true;
}

void Write(std::ostream& stream, const std::string& text) {
  if (!text.empty()) stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Ends the batch when the answers could not be written (a full disk, a closed
// pipe), with the system's reason. Called in the thread that wrote, right
// after the write, while errno still says why.
void CheckWritten(std::ostream& out) {
  if (!out)
    throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(),
                            "cannot write the output");
}

// Writes answers to the output and flushes it when asked to.
void WriteAnswers(std::ostream& out, const std::string& text, bool flush) {
  Write(out, text);
  if (flush) out.flush();
  CheckWritten(out);
}

// Whether reading in may have to wait for more characters.
bool InputStalls(std::istream& in) {
  std::streambuf* buffer = in.rdbuf();
  return buffer != nullptr && buffer->in_avail() <= 0;
}

int RunSerial(std::istream& in, std::ostream& out, std::ostream& err, bool flushEachLine) {
  std::string line, result, rejection;
  unsigned long long lineNumber = 0;
  bool anyError = false;
  bool unflushed = false;
  while (true) {
    // The answers so far go out before the next read waits.
    if (unflushed && InputStalls(in)) {
      WriteAnswers(out, "", true);
      unflushed = false;
    }
    if (!std::getline(in, line)) break;
    result.clear();
    rejection.clear();
    anyError |= !AnswerLine(line, ++lineNumber, result, rejection);
    Write(err, rejection);
    if (result.empty()) continue;
    WriteAnswers(out, result, flushEachLine);
    unflushed = !flushEachLine;
  }
  WriteAnswers(out, "", true);
  return anyError ? 1 : 0;
}

// Whole lines of the input and their answers.
struct Chunk {
  unsigned long long firstLine = 0;  // the number of the chunk's first line
  std::string text;                  // the lines, each ended by '\n' but maybe the last one
  std::string out, err;              // the answers
  bool anyError = false;
  bool done = false;  // the answers are complete
};

// Answers the lines of a chunk.
void Answer(Chunk& chunk) {
  const std::string_view text = chunk.text;
  unsigned long long number = chunk.firstLine;
  for (size_t start = 0; start < text.size(); ++number) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    chunk.anyError |= !AnswerLine(text.substr(start, end - start), number, chunk.out, chunk.err);
    start = end + 1;
  }
}

// Worker threads that answer the chunks handed to them, and a writer thread
// that writes the answers in the order of the chunks. The chunks come from a
// fixed pool: the writer returns each one once written, and the reader waits
// for one when all are in flight.
class Pipeline {
 public:
  Pipeline(unsigned jobs, std::ostream& out, std::ostream& err, bool flushEachLine)
      : out_(out), err_(err), flushEachLine_(flushEachLine) {
    // Every worker can hold one, as many again can wait, answered, behind an
    // earlier one, and one more each is being written and being filled.
    pool_.resize(2 * size_t{jobs} + 2);
    for (Chunk& chunk : pool_) free_.push_back(&chunk);
    try {
      threads_.emplace_back(&Pipeline::WriteChunks, this);
      for (unsigned i = 0; i < jobs; ++i) threads_.emplace_back(&Pipeline::AnswerChunks, this);
    } catch (...) {
      EndInput();
      throw;
    }
  }

  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  // Lets the threads finish the chunks handed over and waits for them.
  ~Pipeline() { EndInput(); }

  // A chunk to fill; waits while every chunk is in flight. Null when a thread
  // has failed.
  Chunk* Acquire() {
    std::unique_lock<std::mutex> lock(mutex_);
    chunkFree_.wait(lock, [this] { return !free_.empty() || failure_; });
    if (failure_) return nullptr;
    Chunk* chunk = free_.back();
    free_.pop_back();
    return chunk;
  }

  // Hands a filled chunk to the workers.
  void Submit(Chunk* chunk) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      work_.push_back(chunk);
      order_.push_back(chunk);
    }
    workReady_.notify_one();
  }

  // No more chunks come: the threads finish the ones handed over and end.
  // Returns 1 when a line was rejected, else 0; throws what a thread threw.
  int Finish() {
    EndInput();
    if (failure_) std::rethrow_exception(failure_);
    return anyError_ ? 1 : 0;
  }

 private:
  void EndInput() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      inputEnded_ = true;
    }
    workReady_.notify_all();
    chunkDone_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

  // Records the first exception of a thread and stops the others.
  void Fail() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
    }
    workReady_.notify_all();
    chunkDone_.notify_all();
    chunkFree_.notify_all();
  }

  void AnswerChunks() {
    try {
      while (true) {
        Chunk* chunk = nullptr;
        {
          std::unique_lock<std::mutex> lock(mutex_);
          workReady_.wait(lock, [this] { return !work_.empty() || inputEnded_ || failure_; });
          if (work_.empty() || failure_) return;
          chunk = work_.front();
          work_.pop_front();
        }
        Answer(*chunk);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          chunk->done = true;
        }
        chunkDone_.notify_one();
      }
    } catch (...) {
      Fail();
    }
  }

  void WriteChunks() {
    try {
      bool unflushed = false;
      while (true) {
        Chunk* chunk = nullptr;
        {
          std::unique_lock<std::mutex> lock(mutex_);
          while (!failure_ && (order_.empty() || !order_.front()->done)) {
            if (unflushed) {
              // Nothing to write now: what was written goes out while the
              // next answers are computed or the input is awaited.
              lock.unlock();
              WriteAnswers(out_, "", true);
              err_.flush();
              unflushed = false;
              lock.lock();
              continue;
            }
            if (order_.empty() && inputEnded_) return;
            chunkDone_.wait(lock);
          }
          if (failure_) return;
          chunk = order_.front();
          order_.pop_front();
        }
        WriteAnswers(out_, chunk->out, flushEachLine_);
        Write(err_, chunk->err);
        anyError_ |= chunk->anyError;
        unflushed = !flushEachLine_;
        chunk->text.clear();
        chunk->out.clear();
        chunk->err.clear();
        chunk->anyError = false;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          chunk->done = false;
          free_.push_back(chunk);
        }
        chunkFree_.notify_one();
      }
    } catch (...) {
      Fail();
    }
  }

  std::ostream& out_;
  std::ostream& err_;
  const bool flushEachLine_;
  bool anyError_ = false;  // written by the writer thread only

  std::mutex mutex_;
  std::condition_variable workReady_;  // a chunk to answer, or the end
  std::condition_variable chunkDone_;  // a chunk answered, or the end
  std::condition_variable chunkFree_;  // a chunk written
  std::vector<Chunk> pool_;
  std::vector<Chunk*> free_;
  std::deque<Chunk*> work_;   // handed over, not yet taken by a worker
  std::deque<Chunk*> order_;  // handed over, not yet written, in input order
  bool inputEnded_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;  // the writer and the workers
};

// A chunk that ends once it holds this many bytes of whole lines, however few.
constexpr size_t kChunkBytes = size_t{1} << 20;
// The most characters read at a time.
constexpr std::streamsize kReadBlock = 32768;

// Reads chunks of whole lines and hands them to the pipeline.
int RunParallel(std::istream& in, Pipeline& pipeline, const BatchOptions& options) {
  const size_t chunkLines = options.chunkLines > 0 ? options.chunkLines : 1;
  Chunk* chunk = pipeline.Acquire();
  if (chunk == nullptr) return pipeline.Finish();
  unsigned long long nextLine = 1;
  size_t lines = 0;  // whole lines in chunk->text

  // Hands over the first count lines of the chunk; the rest begins the next.
  auto handOver = [&](size_t count) {
    Chunk* next = pipeline.Acquire();
    if (next == nullptr) return false;
    size_t end = 0;
    for (size_t i = 0; i < count; ++i) end = chunk->text.find('\n', end) + 1;
    next->text.assign(chunk->text, end, std::string::npos);
    chunk->text.resize(end);
    chunk->firstLine = nextLine;
    nextLine += count;
    pipeline.Submit(chunk);
    chunk = next;
    lines -= count;
    return true;
  };

  std::vector<char> block(kReadBlock);
  bool failed = false;
  while (!failed) {
    const std::streamsize got = in.readsome(block.data(), kReadBlock);
    if (got > 0) {
      chunk->text.append(block.data(), static_cast<size_t>(got));
      lines += static_cast<size_t>(std::count(block.data(), block.data() + got, '\n'));
    } else {
      if (!in.good()) break;
      // Nothing is ready: the whole lines read so far are answered while the
      // read waits.
      if (lines > 0 && !handOver(lines)) break;
      const std::istream::int_type c = in.get();
      if (std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof())) break;
      chunk->text += std::istream::traits_type::to_char_type(c);
      if (chunk->text.back() == '\n') ++lines;
    }
    while (!failed && (lines >= chunkLines || (lines > 0 && chunk->text.size() >= kChunkBytes))) {
      failed = !handOver(std::min(lines, chunkLines));
    }
  }
  if (!failed && !chunk->text.empty()) {
    chunk->firstLine = nextLine;
    pipeline.Submit(chunk);
  }
  return pipeline.Finish();
}

}  // namespace

unsigned DefaultBatchJobs() {
  const unsigned processors = std::thread::hardware_concurrency();
  return std::clamp(processors, 1u, kMaxBatchJobs);
}

int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, const BatchOptions& options) {
  const unsigned jobs = std::min(options.jobs, kMaxBatchJobs);
  if (jobs <= 1) return RunSerial(in, out, err, options.flushEachLine);
  std::unique_ptr<Pipeline> pipeline;
  try {
    pipeline = std::make_unique<Pipeline>(jobs, out, err, options.flushEachLine);
  } catch (const std::system_error&) {
    // No threads to be had: the lines are answered here.
    return RunSerial(in, out, err, options.flushEachLine);
  }
  return RunParallel(in, *pipeline, options);
}

}  // namespace orbel
