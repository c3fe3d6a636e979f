"""kezo on a local Dask cluster of worker processes: the same keyphrases as a serial run, with the
tenant state put on every worker by the plugin, also on a worker that joins later.

The corpus is 2,000 public-domain passages of the Universal Declaration in 18 languages; set
KEZO_DASK_DOCS to a folder of .txt files (for example a keyphrase benchmark's docs) to use those.
"""

import os
import pathlib

import pytest

pytest.importorskip("distributed")
dd = pytest.importorskip("dask.dataframe")
pandas = pytest.importorskip("pandas")

import dask.bag as db  # noqa: E402
from distributed import Client, LocalCluster  # noqa: E402

import kezo  # noqa: E402
import kezo.dask  # noqa: E402

DATA = pathlib.Path(__file__).resolve().parent.parent / "data" / "udhr"
TENANT = "dask-acme"
OPTIONS = {"tenant": TENANT, "top_k": 5}


def corpus():
    folder = os.environ.get("KEZO_DASK_DOCS")
    if folder:
        return [p.read_text(encoding="utf-8") for p in sorted(pathlib.Path(folder).glob("*.txt"))]
    lines = [line.strip() for path in sorted(DATA.glob("*.txt"))
             for line in path.read_text(encoding="utf-8").splitlines() if len(line.strip()) > 10]
    pairs = [a + "\n" + b for a, b in zip(lines, lines[1:])]
    return (lines + pairs)[:2000]


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        yield client


def test_cluster_matches_the_serial_run_and_every_worker_gets_the_setup(client):
    setup = kezo.dask.KezoSetup(
        dictionaries={TENANT: ["Apple", "Banana"]},
        tenant_stopwords={TENANT: {"en": ["rights", "everyone"]}},
    )
    kezo.dask.install(client, setup)
    setup.apply()  # the same state in this process, for the serial run
    texts = corpus()
    assert len(texts) >= 500

    serial = [kezo.extract(text, **OPTIONS) for text in texts]
    assert any(serial) and not any(p.text == "rights" for r in serial for p in r)
    bag = db.from_sequence(texts, npartitions=16)
    assert kezo.dask.extract_bag(bag, **OPTIONS).compute() == serial

    frame = dd.from_pandas(pandas.DataFrame({"text": texts[:300]}), npartitions=4)
    column = kezo.dask.extract_column(frame["text"], as_dicts=True, **OPTIONS).compute()
    assert column.tolist() == [[p.to_dict() for p in r] for r in serial[:300]]

    client.cluster.scale(3)
    client.wait_for_workers(3)
    snapped = client.run(lambda: kezo.snap(TENANT, "aple").term)
    assert len(snapped) == 3 and set(snapped.values()) == {"Apple"}


def test_options_are_checked_in_the_client():
    bag = db.from_sequence(["text"])
    with pytest.raises(ValueError, match="top_k"):
        kezo.dask.extract_bag(bag, top_k=-1)
    with pytest.raises(TypeError, match="workers"):
        kezo.dask.extract_bag(bag, workers=2)
    with pytest.raises(ValueError):
        kezo.dask.KezoSetup(dictionaries={"": ["x"]})
