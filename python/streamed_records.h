// Keyphrases of many texts extracted on helper threads while the calling thread turns the
// finished ones into records: making records needs the interpreter lock, so made after the
// batch they would add to its time on one core; made meanwhile, they mostly hide behind the
// helpers' extraction. Each text's keywords are freed once its records exist, by the thread
// that extracted them, so the calling thread's share of the work is the records alone.
#pragma once

#include <pybind11/pybind11.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "kezo/helper_threads.h"
#include "kezo/spanned_keyword.h"
#include "lock_retake.h"
#include "records.h"
#include "spanned_keywords.h"

namespace kezo::python {

// The texts finished so far, in the order they were finished: written by every extracting
// thread, read by the one making records.
class FinishedTexts {
  public:
    explicit FinishedTexts(std::size_t texts)
        : order_(texts), ready_(std::make_unique<std::atomic<bool>[]>(texts)) {}

    // Text i is done: its keywords are in place. Lock-free unless the reader waits.
    void add(std::size_t i) {
        const std::size_t slot = added_.fetch_add(1);
        order_[slot] = static_cast<std::uint32_t>(i);
        ready_[slot].store(true);
        wake();
    }
    // No text will be added any more (an error): a waiting reader goes on.
    void fail() {
        failed_.store(true);
        wake();
    }

    bool failed() const { return failed_.load(); }
    bool ready(std::size_t slot) const { return ready_[slot].load(); }
    std::size_t text(std::size_t slot) const { return order_[slot]; }
    // Texts added or being added: ready(slot) for each below soon, if not yet.
    std::size_t added() const { return added_.load(std::memory_order_relaxed); }

    // Waits until slot is ready or the batch failed.
    void wait(std::size_t slot) {
        std::unique_lock<std::mutex> lock(mutex_);
        waiting_.store(true);
        finished_.wait(lock, [&] { return ready(slot) || failed(); });
        waiting_.store(false);
    }

  private:
    void wake() {
        if (!waiting_.load()) return;
        // Taking the lock orders this after the reader's check of its condition.
        { const std::lock_guard<std::mutex> lock(mutex_); }
        finished_.notify_one();
    }

    std::vector<std::uint32_t> order_;
    std::unique_ptr<std::atomic<bool>[]> ready_;
    std::atomic<std::size_t> added_{0};
    std::atomic<bool> failed_{false};
    std::atomic<bool> waiting_{false};
    std::mutex mutex_;
    std::condition_variable finished_;
};

// One list of records per text (spanned_keywords_out, in the given form), texts[i]'s from
// extract(i) (a std::vector<SpannedKeyword> or FlatKeyphrases), on `threads` threads. take() gives
// the next text to extract or kNone, stop() makes it give no more; both and extract are called from
// every thread at once (extract never twice for one text). The calling thread makes the records of
// finished texts, a batch of them at a time with the interpreter lock held, and extracts texts
// itself in between; the lock is released otherwise. The first error (from extract, or a Python
// error making records) stops the others after their current text and is raised once all have
// stopped.
//
// At interpreter exit a thread asking for the lock back goes no further (gil_release.h). Should
// it be unwound instead, the list is left unreferenced, never freed without the lock, the
// helpers stop after their current text, and run_on_helper_threads keeps what they use alive
// until they return. Call with the lock held.
template <class Text, class Take, class Extract, class Stop>
pybind11::list records_as_extracted(const std::vector<Text>& texts, std::size_t threads,
                                    RecordForm form, Take take, Extract extract, Stop stop) {
    namespace py = pybind11;
    constexpr std::size_t kNone = SIZE_MAX;
    constexpr std::size_t kBatch = 16;  // texts waiting before the lock is taken for them
    // What extract returns: a list of SpannedKeyword, or FlatKeyphrases.
    using Found = std::decay_t<decltype(extract(std::size_t{0}))>;
    std::vector<Found> found(texts.size());
    FinishedTexts finished(texts.size());
    PyObject* const out = PyList_New(static_cast<Py_ssize_t>(texts.size()));
    if (out == nullptr) throw py::error_already_set();
    std::exception_ptr error;  // the first error of any thread (under errors)
    std::mutex errors;
    bool python_error = false;  // a Python error is set on the calling thread
    const auto fail = [&](std::exception_ptr what) {
        if (what) {
            const std::lock_guard<std::mutex> lock(errors);
            if (!error) error = what;
        }
        stop();
        finished.fail();
    };
    // Set once text i's records are made: its keywords are then its extracting thread's to free.
    // Freeing memory another thread allocated costs that thread's allocator lock, and the calling
    // thread, which makes every record, is the one the batch waits for. Records are made in the
    // order texts finished, so a helper's texts are recorded in the order it finished them: the
    // ones recorded are always the first of its list not yet freed.
    const auto recorded_flags = std::make_unique<std::atomic<bool>[]>(texts.size());
    struct Extracted {
        std::vector<std::size_t> texts;  // in the order this helper finished them
        std::size_t freed = 0;           // texts[0, freed) have their keywords freed
    };
    // Extracts text i; a helper passes what it has extracted, and frees what has been recorded.
    const auto extract_one = [&](std::size_t i, Extracted* extracted) {
        try {
            found[i] = extract(i);
            finished.add(i);
            if (extracted == nullptr) return;
            extracted->texts.push_back(i);
            for (std::size_t& k = extracted->freed;
                 k < extracted->texts.size() &&
                 recorded_flags[extracted->texts[k]].load(std::memory_order_acquire);
                 ++k)
                found[extracted->texts[k]] = {};
        } catch (...) {
            fail(std::current_exception());
        }
    };
    std::vector<char> extracted_here(texts.size(), 0);  // by the calling thread (its own use)
    // The records of the texts finished and not yet recorded, lock held. Nothing is thrown: an
    // error stops the batch, a Python one left set to be raised once every thread has stopped.
    std::size_t recorded = 0;
    const auto record_finished = [&] {
        const AutomaticCollectionPause pause;
        try {
            for (; recorded < texts.size() && finished.ready(recorded); ++recorded) {
                const std::size_t i = finished.text(recorded);
                py::list records = spanned_keywords_out(texts[i], found[i], form);
                PyList_SET_ITEM(out, static_cast<Py_ssize_t>(i), records.release().ptr());
                if (extracted_here[i])
                    found[i] = {};
                else
                    recorded_flags[i].store(true, std::memory_order_release);
            }
        } catch (py::error_already_set& e) {
            e.restore();
            python_error = true;
            fail(nullptr);
        } catch (...) {
            fail(std::current_exception());
        }
    };

    PyThreadState* state = PyEval_SaveThread();
    std::exception_ptr failure;  // of the helper threads themselves, as without_gil has it
    try {
        run_on_helper_threads(threads, [&](std::size_t t) {
            if (t != 0) {
                Extracted extracted;
                for (std::size_t i; !finished.failed() && (i = take()) != kNone;)
                    extract_one(i, &extracted);
                return;  // what is left is freed with found, once every thread is done
            }
            // Should this thread be ended while it asks for the lock, the helpers stop early.
            struct StopUnlessDone {
                decltype(fail)& stop_all;
                bool done = false;
                ~StopUnlessDone() {
                    if (!done) stop_all(nullptr);
                }
            } ending{fail};
            while (recorded < texts.size() && !finished.failed()) {
                const std::size_t i = finished.added() - recorded >= kBatch ? kNone : take();
                if (i != kNone) {
                    extracted_here[i] = 1;
                    extract_one(i, nullptr);
                    continue;
                }
                if (!finished.ready(recorded)) finished.wait(recorded);
                if (finished.failed()) break;
                kezo_restore_thread(state);  // at exit this thread may go no further
                record_finished();
                state = PyEval_SaveThread();
            }
            ending.done = true;
        });
    } catch (...) {
        failure = std::current_exception();
    }
    kezo_restore_thread(state);  // at exit this thread may go no further
    const py::list result = py::reinterpret_steal<py::list>(out);
    if (python_error) throw py::error_already_set();
    if (error) std::rethrow_exception(error);
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace kezo::python
