import copy
import multiprocessing
import pickle
import subprocess
import sys

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
    """One instance of every native class (two of each enumeration, an alias among them), with
    values that are not the defaults, and one of each kezo record."""
    kezo.load_dictionary("kezo-pickle", ["Apple", "Banana"])
    made = {
        kz.Token: kz.tokenize(TEXT)[1],
        kz.Sentence: kz.split_sentences(TEXT)[1],
        kz.Keyword: kz.extract_keywords(TEXT)[0],
        kz.TenantMetrics: kz.get_tenant_metrics("kezo-pickle"),
        kz.SnapMatch: kz.snap_term_detailed("kezo-pickle", "aple"),
        kz.DocumentFrequencyTable: kz.DocumentFrequencyTable({"solar panel": 2, "sun": 1}),
    }
    objects = []
    for cls in native_classes():
        if hasattr(cls, "__members__"):
            objects += list(cls.__members__.values())[-2:]
        else:
            objects.append(made[cls] if cls in made else changed(cls()))
    records = [kezo.extract(TEXT)[0], kezo.detect(TEXT), kezo.snap("kezo-pickle", "aple")]
    return objects + records + [kezo.load_dictionary("kezo-pickle", ["Apple"])]


def test_every_public_object_survives_every_protocol_and_copy():
    objects = samples()
    assert set(native_classes()) <= {type(o) for o in objects}
    for obj in objects:
        twins = [pickle.loads(pickle.dumps(obj, p)) for p in range(pickle.HIGHEST_PROTOCOL + 1)]
        for twin in twins + [copy.copy(obj), copy.deepcopy(obj)]:
            assert type(twin) is type(obj), type(obj).__name__
            assert plain(twin) == plain(obj), type(obj).__name__
    config = kz.ExtractConfig()
    twin = copy.copy(config)
    twin.tokenizer.min_word_length = 9  # a copy owns its tokenizer settings
    assert config.tokenizer.min_word_length == 2


def test_without_kezo_enumerations_pickle_and_the_rest_refuse_clearly():
    # Protocols 0 and 1 once aborted the interpreter here; kezo is never imported.
    script = """
import pickle, kezo_native as kz
for p in range(6):
    assert pickle.loads(pickle.dumps(kz.Language.Ga, p)) == kz.Language.Ga
    for obj in (kz.ExtractConfig(), kz.tokenize("a word")[0]):
        try:
            pickle.dumps(obj, p)
        except TypeError as error:
            assert "import kezo" in str(error), error
        else:
            raise AssertionError(p)
print("ok")
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert (done.returncode, done.stdout) == (0, "ok\n"), done.stderr


def plain(obj):
    """Native objects as their fields, for comparison; everything else as it is."""
    if isinstance(obj, kz.DocumentFrequencyTable):
        return obj.to_dict()
    return fields(obj) if type(obj) in native_classes() and not hasattr(obj, "value") else obj


def test_objects_cross_a_spawned_process():
    objects = samples()
    with multiprocessing.get_context("spawn").Pool(1) as pool:
        back = pool.apply(copy.copy, (objects,))
        # Keywords made in the worker come back too: unpickling the configuration there
        # imported kezo, which registers the reducers.
        config = changed(kz.ExtractConfig())
        config.language, config.tenant_id = kz.Language.English, ""
        made = pool.apply(kz.extract_keywords, (TEXT, config))
    assert [plain(o) for o in back] == [plain(o) for o in objects]
    assert [k.text for k in made] == [k.text for k in kz.extract_keywords(TEXT, config)]
