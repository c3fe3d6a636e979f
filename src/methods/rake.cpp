// RAKE over the keyphrase pipeline's words: maximal content-word runs, degree over frequency.
#include <algorithm>
#include <unordered_map>

#include "kezo/rake_method.h"
#include "method_words.h"

namespace kezo {

std::vector<SpannedKeyword> extract_rake_keyphrases(const std::string& text,
                                                    const RakeConfig& config) {
    methods::ScanRequest request;
    request.language = config.language;
    request.tenant_id = &config.tenant_id;
    request.extra_stopwords = &config.extra_stopwords;
    const keyphrase::Words words = methods::scan_method_words(text, request);
    const auto& ws = words.words;

    // The maximal runs of content words inside one segment.
    std::vector<methods::Occurrence> runs;
    for (std::size_t i = 0; i < ws.size();) {
        if (ws[i].stop) {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < ws.size() && !ws[j].stop && ws[j].segment == ws[i].segment) ++j;
        runs.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j - i)});
        i = j;
    }

    std::vector<double> degree(words.forms.size(), 0.0), frequency(words.forms.size(), 0.0);
    for (const methods::Occurrence& r : runs)
        for (std::uint32_t i = r.first; i < r.first + r.length; ++i) {
            degree[ws[i].form] += r.length;
            frequency[ws[i].form] += 1;
        }

    // Candidates grouped by their words, in order of first occurrence.
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    std::unordered_map<std::string, std::uint32_t> index;
    std::vector<std::vector<methods::Occurrence>> groups;
    for (const methods::Occurrence& r : runs) {
        if (r.length < min_words || (config.max_words && r.length > config.max_words)) continue;
        const auto at = index.emplace(methods::run_key(words, r.first, r.length),
                                      static_cast<std::uint32_t>(groups.size()));
        if (at.second) groups.emplace_back();
        groups[at.first->second].push_back(r);
    }

    std::vector<double> score(groups.size(), 0.0);
    double best = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const methods::Occurrence& r = groups[g].front();
        for (std::uint32_t i = r.first; i < r.first + r.length; ++i)
            score[g] += degree[ws[i].form] / frequency[ws[i].form];
        best = std::max(best, score[g]);
    }
    std::vector<std::uint32_t> order(groups.size());
    for (std::uint32_t g = 0; g < order.size(); ++g) order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return score[a] > score[b]; });
    if (config.top_k && order.size() > config.top_k) order.resize(config.top_k);

    std::vector<SpannedKeyword> out;
    out.reserve(order.size());
    for (const std::uint32_t g : order)
        out.push_back(methods::make_keyphrase(words, groups[g], score[g] / best));
    return out;
}

}  // namespace kezo
