import puppeteer from 'puppeteer-core';
const url = process.argv[2];
const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: 'new',
  args: ['--no-sandbox','--use-angle=swiftshader','--enable-unsafe-swiftshader','--disable-background-networking','--disable-component-update','--disable-sync','--no-first-run']});
const page = await browser.newPage();
page.on('console', m => console.log('console', m.type(), m.text()));
page.on('pageerror', e => console.log('pageerror', e.message));
await page.setViewport({width: 844, height: 390, deviceScaleFactor: 2, hasTouch: true, isMobile: true, isLandscape: true});
const t0 = Date.now();
await page.goto(url);
await new Promise(r => setTimeout(r, 5000));
console.log('ready after', Date.now()-t0);
await new Promise(r => setTimeout(r, 1000));
console.log(await page.evaluate(() => { const c=document.getElementById('screen'); const s=document.getElementById('stage'); const g=Module.ctx; return JSON.stringify([g.getError(), Array.from(g.getParameter(g.VIEWPORT)), Array.from(g.getParameter(g.COLOR_CLEAR_VALUE)), typeof Module.brinkhopWake, g.getParameter(g.FRAMEBUFFER_BINDING), c.width,c.height,c.getBoundingClientRect(), s.getBoundingClientRect(), getComputedStyle(c).transform, !!Module.ctx]); }));
await page.screenshot({path: '/tmp/shot1.png'});
console.log(await page.evaluate(() => JSON.stringify({t: window.brinkhop.trace(), f: window.brinkhop.frame(), a: window.brinkhop.audio(), note: document.getElementById('note').textContent})));
await browser.close();
