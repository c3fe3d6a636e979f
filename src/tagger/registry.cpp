// The per-process models: one per language, read from the model directory on first use.
#include <array>
#include <atomic>
#include <fstream>
#include <mutex>

#include "kezo/tagger.h"

namespace kezo {
namespace {

struct Registry {
    std::mutex mutex;  // guards directory and the loading of a slot
    std::string directory;
    std::array<std::shared_ptr<const Tagger>, kLanguageCount + 1> models;
    // Set once a slot's model is in place; the slot is never written again after that, so
    // readers that see the flag copy the pointer without the lock.
    std::array<std::atomic<bool>, kLanguageCount + 1> ready{};
};

// Never destroyed: threads still tagging while the process exits keep their models.
Registry& registry() {
    static Registry* const instance = new Registry();
    return *instance;
}

std::string model_path(const std::string& directory, Language lang) {
    return directory + "/" + language_code(lang) + ".kzt";
}

}  // namespace

void set_tagger_directory(const std::string& directory) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.directory = directory;
}

std::string tagger_directory() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.directory;
}

bool has_tagger(Language lang) {
    const auto index = static_cast<std::uint32_t>(lang);
    if (index == 0 || index > kLanguageCount) return false;
    return std::ifstream(model_path(tagger_directory(), lang), std::ios::binary).good();
}

std::shared_ptr<const Tagger> load_tagger(Language lang) {
    const auto index = static_cast<std::uint32_t>(lang);
    if (index == 0 || index > kLanguageCount)
        throw TaggerModelError("no tagger model for language value " + std::to_string(index));
    Registry& r = registry();
    if (r.ready[index].load(std::memory_order_acquire)) return r.models[index];
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.ready[index].load(std::memory_order_relaxed)) return r.models[index];
    if (r.directory.empty())
        throw TaggerModelError(std::string("no tagger model directory set (loading ") +
                               language_name(lang) + ")");
    const std::string path = model_path(r.directory, lang);
    if (!std::ifstream(path, std::ios::binary).good())
        throw TaggerModelError(std::string("no tagger model for ") + language_name(lang) + " (" +
                               path + " not found)");
    std::shared_ptr<const Tagger> model = Tagger::from_file(path);
    if (model->language() != lang)
        throw TaggerModelError(path + ": tagger model for " + language_name(model->language()) +
                               ", not " + language_name(lang));
    r.models[index] = std::move(model);
    r.ready[index].store(true, std::memory_order_release);
    return r.models[index];
}

}  // namespace kezo
