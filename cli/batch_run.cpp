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

// What the reader puts in a chunk in place of a line it could not take: a
// NUL byte (which no line of text holds) and what the line was.
constexpr char kMark = '\0';
constexpr char kTooLongMark = 'L';
constexpr char kNulMark = 'N';
constexpr char kTooLongWithNulMark = 'B';  // a NUL byte in the part skipped

// Answers one line: its result to out, or its rejection to err. Returns false
// for a rejected line.
bool AnswerLine(std::string_view line, unsigned long long number, std::string& out,
                std::string& err) {
  if (!line.empty() && line[0] == kMark) {
    const std::string at = "line " + std::to_string(number) + ": ";
    if (line[1] != kNulMark) {
      err += at + "longer than " + std::to_string(kMaxBatchLineBytes) + " bytes; skipped\n";
    }
    if (line[1] != kTooLongMark) err += at + "a NUL byte: the input is not text; stopped\n";
    return false;
  }
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

// The input's lines, one at a time, none held longer than kMaxBatchLineBytes.
class LineReader {
 public:
  enum Kind { kLine, kTooLong, kNul, kEnd };

  explicit LineReader(std::istream& in) : buffer_(in.rdbuf()) {}

  // The next line, without its newline. kTooLong as soon as a line passes the
  // limit (SkipLine then reads past its end), kNul at a NUL byte, kEnd at the
  // end of the input. Throws std::system_error when the input cannot be read
  // (a folder, a closed descriptor).
  Kind Next(std::string& line) {
    line.clear();
    if (buffer_ == nullptr) Fail(EBADF);
    for (bool any = false;; any = true) {
      const int c = Bump();
      if (c == std::char_traits<char>::eof()) return any ? kLine : kEnd;
      if (c == '\n') return kLine;
      if (c == '\0') return kNul;
      if (line.size() == kMaxBatchLineBytes) return kTooLong;
      line += static_cast<char>(c);
    }
  }

  // Reads past the end of the line a kTooLong left unread; kNul when it met a
  // NUL byte there (and stopped), else kLine.
  Kind SkipLine() {
    for (int c = Bump(); c != '\n' && c != std::char_traits<char>::eof(); c = Bump()) {
      if (c == '\0') return kNul;
    }
    return kLine;
  }

  // Whether reading may have to wait for more characters.
  bool Stalls() const { return buffer_ == nullptr || buffer_->in_avail() <= 0; }

 private:
  int Bump() {
    try {
      return buffer_->sbumpc();
    } catch (const std::ios_base::failure&) {  // a read() that failed
      Fail(errno);
    }
  }

  [[noreturn]] static void Fail(int error) {
    throw std::system_error(error != 0 ? error : EIO, std::generic_category(),
                            "cannot read the input");
  }

  std::streambuf* buffer_;
};

// The text that stands for a line the reader could not take.
std::string MarkOf(LineReader::Kind kind) {
  return {kMark, kind == LineReader::kTooLong ? kTooLongMark : kNulMark};
}

int RunSerial(std::istream& in, std::ostream& out, std::ostream& err, bool flushEachLine) {
  LineReader reader(in);
  std::string line, result, rejection;
  unsigned long long lineNumber = 0;
  bool anyError = false;
  bool unflushed = false;
  for (LineReader::Kind kind = LineReader::kLine; kind != LineReader::kNul;) {
    // The answers so far go out before the next read waits.
    if (unflushed && reader.Stalls()) {
      WriteAnswers(out, "", true);
      unflushed = false;
    }
    kind = reader.Next(line);
    if (kind == LineReader::kEnd) break;
    result.clear();
    rejection.clear();
    anyError |= !AnswerLine(kind == LineReader::kLine ? line : MarkOf(kind), ++lineNumber, result,
                            rejection);
    Write(err, rejection);
    if (kind == LineReader::kTooLong) {
      err.flush();  // said when the skipping starts
      if (reader.SkipLine() == LineReader::kNul) {
        rejection.clear();
        AnswerLine(std::string{kMark, kNulMark}, lineNumber, result, rejection);
        Write(err, rejection);
        kind = LineReader::kNul;
      }
    }
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

// Reads chunks of whole lines and hands them to the pipeline.
int RunParallel(std::istream& in, Pipeline& pipeline, const BatchOptions& options) {
  const size_t chunkLines = options.chunkLines > 0 ? options.chunkLines : 1;
  LineReader reader(in);
  unsigned long long nextLine = 1;
  Chunk* chunk = pipeline.Acquire();
  size_t lines = 0;  // in chunk->text
  // Hands the chunk to the workers and starts the next; false when a thread
  // has failed.
  const auto handOver = [&] {
    chunk->firstLine = nextLine;
    nextLine += lines;
    pipeline.Submit(chunk);
    lines = 0;
    chunk = pipeline.Acquire();
    return chunk != nullptr;
  };
  std::string line;
  for (LineReader::Kind kind = LineReader::kLine; chunk != nullptr && kind != LineReader::kNul;) {
    // Nothing is ready: the lines read so far are answered while the read waits.
    if (lines > 0 && reader.Stalls() && !handOver()) break;
    kind = reader.Next(line);
    if (kind == LineReader::kEnd) break;
    if (kind == LineReader::kTooLong && reader.SkipLine() == LineReader::kNul) {
      chunk->text += std::string{kMark, kTooLongWithNulMark};
      kind = LineReader::kNul;
    } else {
      chunk->text += kind == LineReader::kLine ? line : MarkOf(kind);
    }
    chunk->text += '\n';
    ++lines;
    if ((lines >= chunkLines || chunk->text.size() >= kChunkBytes) && !handOver()) break;
  }
  if (chunk != nullptr && lines > 0) {
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
