import copy
import multiprocessing
import pickle

import kezo
import kezo_native as kz
from kezo._pickling import native_classes

TEXT = "Solar panels convert sunlight into electricity. Solar panels age."


def fields(obj):
    """Every property of a native object, nested configurations included, as plain values."""
    names = [n for n in dir(type(obj)) if isinstance(getattr(type(obj), n), property)]
    values = {n: getattr(obj, n) for n in names}
    return {n: fields(v) if hasattr(v, "lowercase") else v for n, v in values.items()}


def changed(config):
    """``config`` with every writable field moved off its default, so a round trip that drops
    a field shows."""
    for name in dir(type(config)):
        attribute = getattr(type(config), name)
        if not isinstance(attribute, property) or attribute.fset is None:
            continue
        value = getattr(config, name)
        if isinstance(value, bool):
            value = not value
        elif isinstance(value, (int, float)):
            value = value + 3
        elif isinstance(value, str):
            value += "-x"
        elif isinstance(value, kz.Language):
            value = kz.Language.Ga
        elif isinstance(value, kz.Algorithm):
            value = kz.Algorithm.RAKE
        else:
            value = changed(value)
        setattr(config, name, value)
    return config


def samples():
    """One instance of every native class, with values that are not the defaults."""
    kezo.load_dictionary("kezo-pickle", ["Apple", "Banana"])
    made = {
        kz.Token: kz.tokenize(TEXT)[1],
        kz.Sentence: kz.split_sentences(TEXT)[1],
        kz.Keyword: kz.extract_keywords(TEXT)[0],
        kz.TenantMetrics: kz.get_tenant_metrics("kezo-pickle"),
        kz.SnapMatch: kz.snap_term_detailed("kezo-pickle", "aple"),
    }
    return [made[cls] if cls in made else changed(cls()) for cls in native_classes()]


def test_every_native_class_pickles_and_copies():
    objects = samples()
    assert {type(o) for o in objects} == set(native_classes())
    for obj in objects:
        for twin in (pickle.loads(pickle.dumps(obj)), copy.copy(obj), copy.deepcopy(obj)):
            assert type(twin) is type(obj) and twin is not obj
            assert fields(twin) == fields(obj), type(obj).__name__
    config = kz.ExtractConfig()
    twin = copy.copy(config)
    twin.tokenizer.min_word_length = 9  # a copy owns its tokenizer settings
    assert config.tokenizer.min_word_length == 2


def test_objects_cross_a_spawned_process():
    objects = samples() + [kezo.extract(TEXT)[0], kezo.detect(TEXT), kz.Language.ak]
    with multiprocessing.get_context("spawn").Pool(1) as pool:
        back = pool.apply(copy.copy, (objects,))
        # Keywords made in the worker come back too: unpickling the configuration there
        # imported kezo, which registers the reducers.
        config = changed(kz.ExtractConfig())
        config.language, config.tenant_id = kz.Language.English, ""
        made = pool.apply(kz.extract_keywords, (TEXT, config))
    def plain(objects):
        return [fields(o) if type(o) in native_classes() else o for o in objects]

    assert plain(back) == plain(objects)
    assert [k.text for k in made] == [k.text for k in kz.extract_keywords(TEXT, config)]
