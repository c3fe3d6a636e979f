"""The spaCy component and the scikit-learn vectorizer, with the real libraries."""

import pickle
import subprocess
import sys

import pytest

import kezo

TEXTS = [
    "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
    "maintenance, and old solar panels lose efficiency in hot weather.",
    "Wind turbines turn wind into power. Offshore wind turbines need strong foundations.",
    "Solar farms and wind farms feed the grid. The grid needs storage for solar power.",
    "Batteries store power for the grid. Cheap batteries wear out in hot weather.",
] * 3


def test_spacy_component_in_calls_pipes_and_saved_pipelines(tmp_path):
    spacy = pytest.importorskip("spacy")
    nlp = spacy.blank("en")
    nlp.add_pipe("kezo", config={"top_k": 4, "stopwords": ["cheap"]})
    expected = [[(k.spans[0], k.score) for k in kezo.extract(t, language="en", top_k=4,
                                                            stopwords=["cheap"])] for t in TEXTS]

    def found(doc):
        return [((s.start_char, s.end_char), s._.keyphrase_score) for s in doc._.keyphrases]

    assert [found(nlp(t)) for t in TEXTS] == expected
    assert [found(doc) for doc in nlp.pipe(TEXTS, batch_size=5)] == expected
    with pytest.raises(ValueError, match="top_k"):
        nlp.add_pipe("kezo", name="bad", config={"top_k": -1})

    # A new process finds the component through the entry point, without importing kezo.
    nlp.to_disk(tmp_path / "pipeline")
    script = ("import spacy, sys; nlp = spacy.load(sys.argv[1]); "
              "print([s.text for s in nlp(sys.argv[2])._.keyphrases])")
    run = subprocess.run([sys.executable, "-c", script, str(tmp_path / "pipeline"), TEXTS[0]],
                         capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert run.stdout.strip() == str([s.text for s in nlp(TEXTS[0])._.keyphrases])


def test_sklearn_vectorizer_in_pipelines_and_grid_search():
    pytest.importorskip("sklearn")
    pandas = pytest.importorskip("pandas")
    from sklearn.base import clone
    from sklearn.linear_model import LogisticRegression
    from sklearn.model_selection import GridSearchCV
    from sklearn.pipeline import make_pipeline

    from kezo.sklearn import KeyphraseVectorizer

    vectorizer = KeyphraseVectorizer(top_k=5, language="en")
    matrix = vectorizer.fit_transform(pandas.Series(TEXTS))
    names = list(vectorizer.get_feature_names_out())
    assert matrix.shape == (len(TEXTS), len(names)) and "solar panels" in names
    assert (vectorizer.transform(TEXTS) != matrix).nnz == 0
    # Cells hold the scores the fitted extractor gives.
    row = {names[c]: v for c, v in zip(matrix[1].indices, matrix[1].data)}
    assert row == {k.text.lower(): k.score for k in vectorizer.extractor_.extract(TEXTS[1])}
    counts = KeyphraseVectorizer(top_k=5, language="en", value="count").fit_transform(TEXTS)
    assert counts.max() >= 2 and counts.dtype == "float64"

    twin = clone(vectorizer)
    assert twin.get_params() == vectorizer.get_params() and not hasattr(twin, "vocabulary_")
    assert "top_k=5" in repr(twin)
    back = pickle.loads(pickle.dumps(vectorizer))
    assert (back.transform(TEXTS) != matrix).nnz == 0
    labels = [0, 1, 0, 1] * 3
    search = GridSearchCV(make_pipeline(KeyphraseVectorizer(language="en"), LogisticRegression()),
                          {"keyphrasevectorizer__top_k": [2, 5],
                           "keyphrasevectorizer__value": ["score", "binary"]}, cv=2)
    search.fit(TEXTS, labels)
    assert search.best_params_["keyphrasevectorizer__top_k"] in (2, 5)
    with pytest.raises(TypeError, match="top_k"):
        KeyphraseVectorizer(top_n=5)
    with pytest.raises(ValueError, match="value"):
        KeyphraseVectorizer(value="tfidf").fit(TEXTS)
