// ardudf through node-firebird, a client of its own (pure JavaScript, its own wire protocol,
// Srp and wire encryption), over TCP: every value bound as a parameter from a JavaScript
// value, every result compared with what the docs say.
//
//   tests/tcp/server.sh --database [--udr] --module-dir DIR -- node tests/tcp/client.js
//
// - Each "Example:" of docs/functions.md whose arguments are plain literals (texts, with Czech
//   letters among them, doubles, integers, NULL) becomes `SELECT f(?, ...)` with the
//   literals bound from JavaScript; its result must be the documented one. The UDR module
//   takes its "UDR example:" lines where an example passes NULL, as tests/server/examples.sh does.
// - Settlements of docs/balance.md, statement by statement from the client: the context
//   made, its rows loaded and each operation sent as parameters, then walked by the four
//   calls per row (each its own statement) and, in the UDR module, by ib_scbwalk on a twin
//   context given the same document; every walk must be the documented one.
'use strict';
const fs = require('fs');
const path = require('path');
const Firebird = require('node-firebird');

const docs = path.join(__dirname, '..', '..', 'docs');
const udr = process.env.ARDUDF_MODULE === 'udr';
let failures = 0, passed = 0;
const fail = (what) => { failures++; console.log(`FAIL: ${what}`); };
const check = (what, got, want) => {
  if (Object.is(got, want) || got === want) passed++;
  else fail(`${what}: got ${JSON.stringify(got)}, the docs say ${JSON.stringify(want)}`);
};

// One SQL literal as a JavaScript value, or undefined when it is not a plain literal.
function literal(text) {
  text = text.trim();
  if (/^'(?:[^']|'')*'$/.test(text)) return text.slice(1, -1).replace(/''/g, "'");
  if (/^-?\d+(\.\d+)?$/.test(text)) return Number(text);
  if (text === 'NULL') return null;
  if (text === 'TRUE' || text === 'FALSE') return text === 'TRUE';
  return undefined;
}

// Splits "a, 'b, c', 3" at the commas outside quotes.
function splitArgs(text) {
  const args = [];
  let cur = '', quoted = false;
  for (const ch of text) {
    if (ch === "'") quoted = !quoted;
    if (ch === ',' && !quoted) { args.push(cur); cur = ''; } else cur += ch;
  }
  if (cur.trim() !== '') args.push(cur);
  return args;
}

// The examples of docs/functions.md that bind as parameters: [section, function, args, result].
function docExamples() {
  const cases = [];
  let section = '', skipped = 0;
  for (const line of fs.readFileSync(path.join(docs, 'functions.md'), 'utf8').split('\n')) {
    if (line.startsWith('## ')) section = line.slice(3);
    const m = /^(UDR example|Example): `(.*)` → `(.*)`$/.exec(line);
    if (!m) continue;
    const [, kind, call, result] = m;
    const nullArg = /\bNULL\b/.test(call);
    if (udr ? (kind === 'Example' && nullArg) : kind !== 'Example') continue;
    const f = /^([a-z][a-z0-9_]*)\((.*)\)$/.exec(call);
    const args = f && splitArgs(f[2]).map(literal);
    const want = literal(result);
    if (!f || args.includes(undefined) || want === undefined) { skipped++; continue; }
    cases.push({ section, fn: f[1], args, want, line: call });
  }
  return { cases, skipped };
}

// Settlements as docs/balance.md tells them: the rows, then each operation with its walk.
const settlements = [
  { doc: 'The walk', rows: [['GOODS', 100, 31.5], ['SERVICE', 50, 0]],
    ops: [[{ pay: 100 }, [['GOODS', 68.5, 31.5]]]] },
  { doc: 'How a payment is served: a payment, then a refund', rows: [['GOODS', 100, 21]],
    ops: [[{ pay: 50 }, [['GOODS', 29, 21]]], [{ pay: -40 }, [['GOODS', -29, -11]]]] },
  { doc: 'How a payment is served: a negative document', rows: [['RETURN', -50, -10.5]],
    ops: [[{ pay: -60.5 }, [['RETURN', -50, -10.5]]], [{ pay: 20 }, [['RETURN', 20, 0]]]] },
  { doc: 'Credit lines', rows: [['GOODS', 30, 0], ['DISCOUNT', -10, 0]],
    ops: [[{ pay: 20 }, [['GOODS', 30, 0], ['DISCOUNT', -10, 0]]]] },
  { doc: 'Credit lines: a payment of 0.0', rows: [['GOODS', 30, 0], ['DISCOUNT', -10, 0]],
    ops: [[{ pay: 0 }, [['GOODS', 10, 0], ['DISCOUNT', -10, 0]]]] },
  { doc: 'Overpayment and refunds', rows: [['GOODS', 100, 0], ['SERVICE', 50, 0]],
    ops: [[{ pay: 200 }, [['GOODS', 150, 0], ['SERVICE', 50, 0]]]] },
  { doc: 'Overpayment and refunds: a refund beyond what was paid', rows: [['GOODS', 100, 0], ['SERVICE', 50, 0]],
    ops: [[{ pay: 30 }, [['GOODS', 30, 0]]], [{ pay: -50 }, [['GOODS', -50, 0]]]] },
  { doc: 'Credit notes', rows: [['GOODS', 100, 20]],
    ops: [[{ pay: 120 }, [['GOODS', 100, 20]]], [{ credit: ['GOODS', 30, 6] }, [['GOODS', 6, -6]]]] },
  { doc: 'Credit notes: a new type', rows: [['GOODS', 100, 20]],
    ops: [[{ pay: 120 }, [['GOODS', 100, 20]]], [{ credit: ['REBATE', 10, 0] }, [['GOODS', 10, 0], ['REBATE', -10, 0]]]] },
];

async function main() {
  const [host, port] = process.env.ARDUDF_SERVER.split('/');
  const dbEnv = process.env.ARDUDF_DATABASE;
  const options = {
    host, port: Number(port), database: dbEnv.slice(dbEnv.indexOf(':') + 1),
    user: process.env.ISC_USER, password: process.env.ISC_PASSWORD, encoding: 'UTF8',
  };
  // This client's Srp proof is refused for some salts ("Your user name and password are not
  // defined": about one server in ten, every login; libfbclient logs in with the same
  // password): setting the same password again draws a new salt. Any other error, or a
  // third refusal, fails the test.
  let db;
  for (let attempt = 1; !db; ++attempt) {
    try {
      db = await Firebird.attachAsync(options);
    } catch (e) {
      if (attempt === 3 || !/user name and password are not defined/.test(e.message)) throw e;
      console.log(`login refused (attempt ${attempt}): ${e.message.split('\n')[0]}; the password is set again`);
      // isql as every script runs it (scripts/lib/fbenv.sh).
      const fbenv = path.join(__dirname, '..', '..', 'scripts', 'lib', 'fbenv.sh');
      require('child_process').execFileSync('bash', ['-c', '. "$0" && fb_isql -b "$1"', fbenv, dbEnv], {
        input: `ALTER USER ${options.user} PASSWORD '${options.password}' USING PLUGIN Srp; COMMIT;\n`,
        stdio: ['pipe', 'inherit', 'inherit'],
      });
    }
  }
  const one = async (sql, params) => {
    const rows = await db.queryAsync(`SELECT ${sql} AS r FROM RDB$DATABASE`, params);
    return rows[0].R;
  };

  // Every function group of docs/functions.md, through bound parameters.
  const { cases, skipped } = docExamples();
  const groups = new Map(), functions = new Set();
  for (const c of cases) {
    const marks = c.args.map(() => '?').join(', ');
    let got;
    try { got = await one(`${c.fn}(${marks})`, c.args); } catch (e) { got = `error: ${e.message}`; }
    check(`${c.line} with parameters ${JSON.stringify(c.args)}`, got, c.want);
    groups.set(c.section, (groups.get(c.section) || 0) + 1);
    functions.add(c.fn);
  }
  for (const g of ['Text and value functions', 'Calendar functions', 'Balance engine']) {
    if (!groups.get(g)) fail(`no example of "${g}" could be bound`);
  }
  const texts = cases.filter(c => c.args.some(a => typeof a === 'string' && /[^\x00-\x7f]/.test(a))).length;
  const doubles = cases.filter(c => c.args.some(a => typeof a === 'number' && !Number.isInteger(a))).length;
  const nulls = cases.filter(c => c.args.includes(null)).length;
  if (!texts || !doubles || !nulls) fail(`the examples lack Czech texts (${texts}), doubles (${doubles}) or NULLs (${nulls})`);
  console.log(`docs/functions.md: ${cases.length} examples of ${functions.size} functions bound from JavaScript ` +
    `(${texts} with non-ASCII text, ${doubles} with doubles, ${nulls} with NULL), ${skipped} not plain literals`);

  // Settlements, walked by four calls per row and (UDR) by ib_scbwalk.
  const walkByCalls = async (h) => {
    const rows = [];
    while (await one('ib_scbisaffectedrows(?)', [h]) === 1) {
      rows.push([await one('ib_scbreadtype(?)', [h]), await one('ib_scbreadamount(?)', [h]),
                 await one('ib_scbreadvat(?)', [h])]);
      if (rows.length > 1000) throw new Error('the walk does not end');
    }
    return rows;
  };
  const walkByProcedure = async (h) =>
    (await db.queryAsync('SELECT row_type, amount, vat FROM ib_scbwalk(?)', [h])).map(r => [r.ROW_TYPE, r.AMOUNT, r.VAT]);
  for (const s of settlements) {
    const handles = [await one('ib_scbcreate()', [])];
    if (udr) handles.push(await one('ib_scbcreate()', []));
    for (const h of handles) {
      if (!(h > 0)) fail(`${s.doc}: ib_scbcreate gave ${h}`);
      for (const [type, amount, vat] of s.rows) check(`${s.doc}: ib_scbaddrow`, await one('ib_scbaddrow(?, ?, ?, ?)', [h, type, amount, vat]), 1);
    }
    for (const [op, want] of s.ops) {
      const walks = [];
      for (const [i, h] of handles.entries()) {
        if (op.pay !== undefined) await one('ib_scbaddpayment(?, ?)', [h, op.pay]);
        else check(`${s.doc}: ib_scbaddcreditnote`, await one('ib_scbaddcreditnote(?, ?, ?, ?)', [h, ...op.credit]), 1);
        walks.push([i === 0 ? 'four calls per row' : 'ib_scbwalk', await (i === 0 ? walkByCalls(h) : walkByProcedure(h))]);
      }
      for (const [way, rows] of walks) check(`${s.doc}, ${JSON.stringify(op)}, walk by ${way}`, JSON.stringify(rows), JSON.stringify(want));
    }
    for (const h of handles) {
      check(`${s.doc}: ib_scbfree`, await one('ib_scbfree(?)', [h]), 1);
      check(`${s.doc}: ib_scbfree of a freed handle`, await one('ib_scbfree(?)', [h]), 0);
    }
  }
  console.log(`docs/balance.md: ${settlements.length} settlements walked by four calls per row` +
    (udr ? ' and by ib_scbwalk' : ''));
  await db.detachAsync();
}

main().then(() => {
  console.log(failures ? `${failures} failure(s), ${passed} checks passed` : `all ${passed} checks passed`);
  process.exit(failures ? 1 : 0);
}, (e) => { console.log(`FAIL: ${e.stack || e}`); process.exit(1); });
