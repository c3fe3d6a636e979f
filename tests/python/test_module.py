import pytest

import kezo_native as kz

L = kz.Language
A = kz.Algorithm
TEXT = (
    "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
    "maintenance, and old solar panels lose efficiency in hot weather."
)


def test_registration_order_and_docstrings():
    order = [
        "Language", "Algorithm", "Token", "Sentence", "Keyword", "TokenizerConfig",
        "tokenize", "split_sentences", "detect_language", "language_code", "language_name",
        "is_stopword", "add_stopword", "stopwords", "load_tenant_stopwords",
        "clear_tenant_stopwords", "is_tenant_stopword", "TFIDFConfig", "YAKEConfig",
        "TextRankConfig", "RAKEConfig", "ExtractConfig", "EnsembleConfig", "extract_keywords",
        "extract_keywords_ensemble", "build_corpus_df", "tfidf_extract", "yake_extract",
        "textrank_extract", "rake_extract", "__version__", "name",
    ]
    names = list(vars(kz))
    assert [n for n in names if n in order] == order
    docs = {
        kz.extract_keywords: "Run a single extraction algorithm on `text`.",
        kz.extract_keywords_ensemble:
            "Run all four algorithms and return merged, de-duplicated keywords.",
        kz.build_corpus_df: "Build a per-term document frequency table for TF-IDF.",
        kz.tfidf_extract:
            "TF-IDF extraction. `df` is an optional dict[str, int] document frequency table.",
        kz.ExtractConfig: "High-level config for a single algorithm.",
        kz.EnsembleConfig: "Config for the multi-algorithm ensemble.",
        kz.Keyword: "A scored candidate keyword.",
        kz.is_stopword: "Return True if `word` is a stopword in `language`.",
        kz.add_stopword: "Add a custom stopword to the in-memory list for `language`.",
        kz.stopwords: "Get the list of stopwords for `language` (list of str).",
        kz.load_tenant_stopwords: "Replace tenant-specific stopwords for a language.",
        kz.clear_tenant_stopwords: "Clear tenant-specific stopwords for a language.",
        kz.is_tenant_stopword: "Return True if word is a tenant-specific stopword.",
    }
    for obj, doc in docs.items():
        assert doc in obj.__doc__, obj.__name__


def test_config_classes_are_read_write_records_with_defaults():
    defaults = {
        kz.TokenizerConfig: dict(lowercase=True, strip_accents=False, split_cjk=True,
                                 keep_numbers=False, keep_punctuation=False, min_word_length=2),
        kz.TFIDFConfig: dict(min_n=1, max_n=3, total_documents=0, top_k=10, smooth=True,
                             sublinear_tf=True),
        kz.YAKEConfig: dict(min_n=1, max_n=3, top_k=10, window=2, product_mode=True),
        kz.TextRankConfig: dict(min_n=1, max_n=3, top_k=10, window=2, damping=0.85, max_iter=100,
                                tol=0.0001),
        kz.RAKEConfig: dict(min_phrase_length=1, max_phrase_length=4, top_k=10,
                            include_words=True),
        kz.ExtractConfig: dict(algorithm=A.YAKE, language=L.Auto, top_k=10, min_n=1, max_n=3,
                               tenant_id=""),
        kz.EnsembleConfig: dict(w_tfidf=1.0, w_yake=1.0, w_textrank=1.0, w_rake=0.7, top_k=10),
        kz.TenantCachePolicy: dict(max_terms_per_tenant=50000, max_token_length=128,
                                   max_updates_per_minute=120, max_cached_tenants=0,
                                   tenant_ttl_seconds=0, latency_window_size=256,
                                   update_queue_capacity=1024, lazy_load_on_miss=True,
                                   retain_sources_for_lazy_reload=False),
    }
    for cls, fields in defaults.items():
        obj = cls()
        for field, value in fields.items():
            assert getattr(obj, field) == value, (cls.__name__, field)
            setattr(obj, field, value)
        with pytest.raises(TypeError):
            cls(top_k=3)
    e = kz.EnsembleConfig()
    assert isinstance(e, kz.ExtractConfig)
    e.w_rake, e.tenant_id, e.min_n = 0.25, "t", 2
    assert (e.w_rake, e.tenant_id, e.min_n) == (0.25, "t", 2)
    for record, field in ((e, "top_k"), (kz.TenantCachePolicy(), "max_token_length")):
        with pytest.raises(TypeError):
            setattr(record, field, -1)


def test_extraction_keywords_and_a_10_mb_text():
    # Every algorithm through extract_keywords runs in test_extract.py's threads.
    config = kz.ExtractConfig()
    config.algorithm = A.RAKE
    assert 0 < len(kz.extract_keywords(text=TEXT, config=config)) <= 10
    config = kz.EnsembleConfig()
    config.top_k = 0
    assert len(kz.extract_keywords_ensemble(text=TEXT, config=config)) > 10
    # The default configurations keep ten, and a 10 MB text finishes.
    big = (TEXT + "\n") * (10 * (1 << 20) // len(TEXT))
    assert len(kz.extract_keywords(big)) == len(kz.extract_keywords_ensemble(big)) == 10
